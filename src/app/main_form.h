#pragma once

#include <array>
#include <memory>
#include <string>

#include "analysis/signals.h"
#include "board/board_filter.h"
#include "board/controls.h"
#include "board/grid_table.h"
#include "feed/http_client.h"
#include "feed/platform.h"
#include "feed/service_url.h"

namespace zelko {

inline constexpr int kLivePeriod = 60;    // seconds between live refreshes
inline constexpr int kMoneyPeriod = 300;  // seconds between money refreshes
inline constexpr const char* kCredentialsFile = "log.log";
inline constexpr const char* kCaption = "ZELKO";

// The one main window without its drawing: the six grids, the state of every control the
// handlers read or write, and the handlers, named after control and event. The Qt window and
// the command-line twin both drive this object; neither holds state of its own that the
// handlers need.
//
// Every public handler catches what escapes it and hands it to the platform's general error
// report, as the toolkit's default error box would; the application goes on.
class MainForm {
 public:
  MainForm(Platform& platform, std::string serviceHost);
  ~MainForm();
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  // --- Handlers ---------------------------------------------------------------------------
  void FormCreate();
  void spSkinXFormButton7Click();  // LOGIN
  void Timer1Timer();              // live countdown tick
  void Timer2Timer();              // money countdown tick
  void livetimeClick();            // pause or resume the live countdown
  void livetime2Click();           // pause or resume the money countdown
  void arClick();                  // "Refresh"
  void spSkinXFormButton2Click();  // the option button of the LIVE tab
  void spSkinXFormButton1Click();  // "SAVE": the favourites report
  // checker1..checker4 (LIVE, SOON, FINISH, CANCEL): `index` 1 to 4; the box is toggled first.
  void StatusBoxClick(int index);
  void checker5Click();  // "Zelko": the market view
  void checker6Click();  // "Score": the score view
  void filtrChange(const std::string& text);
  void sortChange(const std::string& text);
  void zapClick();   // toggles "Запомнить"
  void autoClick();  // toggles "Auto Update Score"
  void RXCellDblClick(int column, int row);
  void RX2CellClick(int column, int row);
  void RX2CellDblClick(int column, int row);  // does nothing
  void RX3CellClick(int column, int row);
  void RX3CellDblClick(int column, int row);
  // What the user typed into the login and password boxes.
  void SetLoginText(const std::string& text) { loginedit_ = text; }
  void SetPasswordText(const std::string& text) { passedit_ = text; }

  // --- Plain procedures the handlers compose ------------------------------------------------
  void LoadCredentials();
  void SaveCredentials();
  bool CheckUrlExists(const std::string& url);
  void AnalyzeMatch(int rxRow);
  // The version marker's address on the service.
  std::string VersionMarkerUrl() const;

  // --- State, read by the front ends --------------------------------------------------------
  GridTable& RX() { return rx_; }
  GridTable& RX2() { return rx2_; }
  GridTable& RX3() { return rx3_; }
  GridTable& SBX() { return sbx_; }
  GridTable& LiveGrid() { return liveGrid_; }
  GridTable& LiveStatGrid() { return liveStatGrid_; }

  const std::string& Caption() const { return caption_; }
  bool Resizable() const { return resizable_; }
  // Page: 0 "ABOUT", 1 "Zelko", 2 "LIVE". Page2: 0 "Work", 1 "Favorite".
  const std::array<Tab, 3>& PageTabs() const { return pageTabs_; }
  int PageActive() const { return pageActive_; }
  const std::array<Tab, 2>& Page2Tabs() const { return page2Tabs_; }
  int Page2Active() const { return page2Active_; }
  void SetPage2Active(int index);

  const std::string& livetime() const { return livetime_; }
  const std::string& livetime2() const { return livetime2_; }
  const std::string& count() const { return count_; }
  const Timer& Timer1() const { return timer1_; }
  const Timer& Timer2() const { return timer2_; }
  int LiveCountdown() const { return liveCountdown_; }
  int MoneyCountdown() const { return moneyCountdown_; }
  const Gauge& progress() const { return progress_; }
  bool LiveOptionVisible() const { return liveOptionVisible_; }

  const std::string& loginedit() const { return loginedit_; }
  const std::string& passedit() const { return passedit_; }
  const std::string& filtr() const { return filtr_; }
  const std::string& sort() const { return sort_; }
  bool zap() const { return zap_; }
  bool autoUpdate() const { return auto_; }
  const StatusBoxes& statusBoxes() const { return status_; }
  bool checker5() const { return checker5_; }
  bool checker6() const { return !checker5_; }
  bool Closed() const { return closed_; }
  // CurrentLogin and CurrentPassword: what the last login that passed the probe sent.
  const std::string& CurrentLogin() const { return current_.login; }
  const std::string& CurrentPassword() const { return current_.password; }
  const std::string& ServiceHost() const { return serviceHost_; }

 private:
  template <typename F>
  void Guard(F&& body);
  std::string TodayUrl() const;
  std::string LiveUrl() const;
  // The version probe with its three outcomes; CheckUrlExists is its yes-or-no form.
  ProbeOutcome ProbeVersion(const std::string& url);
  // The steps of a successful login, after the reply has been judged.
  void EnterBoard();
  void RunLiveRefresh();
  void RunMoneyRefresh();
  void SyncFavorites();
  void ApplyBoardFilter();
  // The inner page control cannot keep a hidden tab active.
  void KeepPage2OnVisibleTab();

  Platform& platform_;
  std::string serviceHost_;
  std::unique_ptr<HttpClient> idHttp1_;
  std::unique_ptr<HttpClient> idHttp2_;
  std::unique_ptr<HttpClient> im_;  // kept as the window has it; serves no request
  SignalSender signals_;
  Credentials current_;  // CurrentLogin, CurrentPassword

  GridTable rx_;
  GridTable rx2_;
  GridTable rx3_;
  GridTable sbx_;
  GridTable liveGrid_;
  GridTable liveStatGrid_;
  BoardFilterMemo filterMemo_;  // what the rebuilds of RX2 read of RX's rows

  std::string caption_ = kCaption;
  bool resizable_ = false;
  std::array<Tab, 3> pageTabs_{{{"ABOUT", true}, {"Zelko", true}, {"LIVE", true}}};
  int pageActive_ = 0;
  std::array<Tab, 2> page2Tabs_{{{"Work", true}, {"Favorite", true}}};
  int page2Active_ = 0;

  std::string loginedit_;
  std::string passedit_;
  bool zap_ = false;
  StatusBoxes status_;
  std::string filtr_ = "0";
  std::string count_ = "Count: 100";
  bool checker5_ = true;
  std::string sort_;
  bool auto_ = false;

  std::string livetime_;
  std::string livetime2_;
  Timer timer1_;
  Timer timer2_;
  int liveCountdown_ = 0;
  int moneyCountdown_ = 0;
  Gauge progress_;
  bool liveOptionVisible_ = false;
  bool closed_ = false;
};

}  // namespace zelko
