#include "app/main_form.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/analysis.h"
#include "board/board_filter.h"
#include "board/columns.h"
#include "board/money_refresh.h"
#include "board/today_loader.h"
#include "favourites/favourites.h"
#include "favourites/report.h"
#include "feed/codec.h"
#include "live/live_refresh.h"

namespace zelko {

namespace {

inline constexpr const char* kUnreachableMessage = "The service cannot be reached.";
inline constexpr const char* kConnectionFailedMessage = "Connection to the service failed.";
inline constexpr const char* kAuthorizationFailedMessage = "Autorization Failed!";

std::string UpdateMessage() {
  return std::string("Update Programm from site ") + kProductSiteHost + "\n\r" +
         "Обновите программу с сайта!";
}

// Lines as a text-file reader sees them: ended by CR LF, LF or a lone CR; a last line without
// an end counts, an empty rest after the last end does not.
std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.emplace_back(bytes.substr(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
  return lines;
}

// Resets a countdown and re-enables its timer when a tick ends with an error, so that the
// schedule goes on from a full period instead of stopping for good.
class TickRecovery {
 public:
  TickRecovery(Timer& timer, int& countdown, int period)
      : timer_(timer), countdown_(countdown), period_(period) {}
  TickRecovery(const TickRecovery&) = delete;
  TickRecovery& operator=(const TickRecovery&) = delete;
  ~TickRecovery() {
    if (std::uncaught_exceptions() == pending_) return;
    if (countdown_ <= 0) countdown_ = period_;
    timer_.enabled = true;
  }

 private:
  Timer& timer_;
  int& countdown_;
  int period_;
  int pending_ = std::uncaught_exceptions();
};

}  // namespace

MainForm::MainForm(Platform& platform, std::string serviceHost)
    : platform_(platform),
      serviceHost_(std::move(serviceHost)),
      idHttp1_(platform_.MakeClient(ClientProfile::Form, "IdHTTP1")),
      idHttp2_(platform_.MakeClient(ClientProfile::Form, "IdHTTP2")),
      im_(platform_.MakeClient(ClientProfile::SingleRequest, "IM")),
      signals_{*idHttp2_, serviceHost_, [this] { return platform_.LocalTime(); }},
      rx_("RX", RxColumns()),
      rx2_("RX2", Rx2Columns()),
      rx3_("RX3", Rx3Columns()),
      sbx_("SBX", SbxColumns()),
      liveGrid_("LiveGrid", LiveGridColumns()),
      liveStatGrid_("LiveStatGrid", LiveStatGridColumns()) {}

MainForm::~MainForm() = default;

template <typename F>
void MainForm::Guard(F&& body) {
  try {
    std::forward<F>(body)();
  } catch (const std::exception& error) {
    platform_.ReportError(error.what());
  } catch (...) {
    platform_.ReportError("Unknown error");
  }
}

// --- Start-up and credentials -------------------------------------------------------------

void MainForm::FormCreate() {
  Guard([this] {
    LoadCredentials();
    pageTabs_[1].visible = false;
    pageTabs_[2].visible = false;
    page2Tabs_[1].visible = false;
    KeepPage2OnVisibleTab();
    moneyCountdown_ = kMoneyPeriod;
    sort_ = "Time";
  });
}

void MainForm::LoadCredentials() {
  const std::optional<std::string> bytes = platform_.ReadFile(kCredentialsFile);
  if (!bytes) return;
  zap_ = true;
  // A file shorter than two lines fills what it has; the other box keeps its text.
  const std::vector<std::string> lines = SplitLines(*bytes);
  if (!lines.empty()) loginedit_ = Cp1251ToUtf8(lines[0]);
  if (lines.size() > 1) passedit_ = Cp1251ToUtf8(lines[1]);
}

void MainForm::SaveCredentials() {
  const std::string bytes =
      Utf8ToCp1251(current_.login) + "\r\n" + Utf8ToCp1251(current_.password) + "\r\n";
  if (!platform_.WriteFile(kCredentialsFile, bytes, /*ownerOnly=*/true)) {
    platform_.ReportError(std::string("Cannot write ") + kCredentialsFile);
  }
}

// --- Version probe and login --------------------------------------------------------------

std::string MainForm::VersionMarkerUrl() const {
  return "http://" + serviceHost_ + kVersionMarkerPath;
}

ProbeOutcome MainForm::ProbeVersion(const std::string& url) {
  std::string lower = url;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::string address = lower.find("http://") == std::string::npos ? "http://" + url : url;
  return platform_.ProbeStatus(address);
}

bool MainForm::CheckUrlExists(const std::string& url) {
  return ProbeVersion(url) == ProbeOutcome::Exists;
}

void MainForm::spSkinXFormButton7Click() {
  Guard([this] {
    switch (ProbeVersion(VersionMarkerUrl())) {
      case ProbeOutcome::Exists:
        break;
      case ProbeOutcome::NoAnswer:
        // No answer says nothing about this release: the user may try again later.
        platform_.ShowMessage(kUnreachableMessage);
        return;
      case ProbeOutcome::OtherStatus:
        platform_.ShowMessage(UpdateMessage());
        platform_.OpenWithShell(std::string("http://") + kProductSiteHost + kProductPagePath);
        closed_ = true;
        platform_.CloseMainWindow();
        return;
    }

    current_.login = loginedit_;
    current_.password = passedit_;
    const ServiceReply reply = ServiceGet(*idHttp1_, FeedUrl(serviceHost_, current_));
    if (reply.failed) {
      platform_.ShowMessage(kConnectionFailedMessage);
      return;
    }
    if (reply.text.find("Fail") != std::string::npos) {
      platform_.ShowMessage(kAuthorizationFailedMessage);
      return;
    }
    EnterBoard();
  });
}

void MainForm::EnterBoard() {
  caption_ = kCaption;
  resizable_ = true;
  if (zap_) {
    SaveCredentials();
  } else {
    // Unticked means "do not remember me", also for what an earlier login left behind.
    platform_.RemoveFile(kCredentialsFile);
  }
  LoadTodayBoard(rx_, *idHttp1_, TodayUrl(), status_, 0);
  RunLiveRefresh();
  liveCountdown_ = kLivePeriod;
  ApplyBoardFilter();
  timer1_.enabled = true;
  timer2_.enabled = true;
  pageTabs_[1].visible = true;
  pageTabs_[0].visible = false;
  pageActive_ = 1;
}

// --- Refresh scheduler --------------------------------------------------------------------

void MainForm::Timer1Timer() {
  Guard([this] {
    TickRecovery recovery(timer1_, liveCountdown_, kLivePeriod);
    timer1_.enabled = false;
    --liveCountdown_;
    platform_.ProcessPendingEvents();
    livetime_ = "LIVE Refresh from " + std::to_string(liveCountdown_) + " sec.";
    if (liveCountdown_ == 0) {
      platform_.ProcessPendingEvents();
      RunLiveRefresh();
      SyncFavorites();
      liveCountdown_ = kLivePeriod;
    }
    timer1_.enabled = true;
  });
}

void MainForm::Timer2Timer() {
  Guard([this] {
    TickRecovery recovery(timer2_, moneyCountdown_, kMoneyPeriod);
    timer2_.enabled = false;
    --moneyCountdown_;
    platform_.ProcessPendingEvents();
    livetime2_ = "Refresh Money " + std::to_string(moneyCountdown_) + " sec.";
    if (moneyCountdown_ == 0) {
      platform_.ProcessPendingEvents();
      RunMoneyRefresh();
      SyncFavorites();
      moneyCountdown_ = kMoneyPeriod;
    }
    timer2_.enabled = true;
  });
}

void MainForm::livetimeClick() {
  Guard([this] { timer1_.enabled = !timer1_.enabled; });
}

void MainForm::livetime2Click() {
  Guard([this] { timer2_.enabled = !timer2_.enabled; });
}

void MainForm::arClick() {
  Guard([this] {
    LoadTodayBoard(rx_, *idHttp1_, TodayUrl(), status_, 0);
    RunLiveRefresh();
    liveCountdown_ = kLivePeriod;
    ApplyBoardFilter();
  });
}

void MainForm::spSkinXFormButton2Click() {
  // The panel and its splitter are shown and hidden together.
  Guard([this] { liveOptionVisible_ = !liveOptionVisible_; });
}

std::string MainForm::TodayUrl() const {
  return FeedUrl(serviceHost_, current_, "today");
}

std::string MainForm::LiveUrl() const {
  return FeedUrl(serviceHost_, current_, "live");
}

void MainForm::RunLiveRefresh() {
  LiveBoards boards{rx_, rx2_, liveGrid_, liveStatGrid_};
  RefreshLive(boards, *idHttp1_, LiveUrl(), auto_, [this](int rxRow) { AnalyzeMatch(rxRow); });
}

void MainForm::RunMoneyRefresh() {
  RefreshMoney(rx_, rx2_, *idHttp1_, TodayUrl(),
               [this](int row, std::string_view odds, std::string_view bet) {
                 SendBigBet(signals_, rx_, row, odds, bet);
               });
}

void MainForm::SyncFavorites() {
  zelko::SyncFavorites(rx2_, rx3_);
}

void MainForm::ApplyBoardFilter() {
  zelko::ApplyBoardFilter(rx_, rx2_, status_, filtr_, count_, filterMemo_);
}

// --- Filter bar ---------------------------------------------------------------------------

void MainForm::StatusBoxClick(int index) {
  Guard([this, index] {
    switch (index) {
      case 1:
        status_.live = !status_.live;
        break;
      case 2:
        status_.soon = !status_.soon;
        break;
      case 3:
        status_.finish = !status_.finish;
        break;
      case 4:
        status_.cancel = !status_.cancel;
        break;
      default:
        throw std::out_of_range("No status box checker" + std::to_string(index));
    }
    ApplyBoardFilter();
  });
}

void MainForm::checker5Click() {
  Guard([this] {
    checker5_ = true;
    ShowMarketColumns(rx2_);
  });
}

void MainForm::checker6Click() {
  Guard([this] {
    checker5_ = false;
    ShowScoreColumns(rx2_);
  });
}

void MainForm::filtrChange(const std::string& text) {
  Guard([this, &text] {
    filtr_ = text;
    ApplyBoardFilter();
  });
}

void MainForm::sortChange(const std::string& text) {
  Guard([this, &text] {
    sort_ = text;
    SortBoard(rx2_, sort_);
  });
}

void MainForm::zapClick() {
  Guard([this] { zap_ = !zap_; });
}

void MainForm::autoClick() {
  Guard([this] { auto_ = !auto_; });
}

// --- Boards -------------------------------------------------------------------------------

void MainForm::AnalyzeMatch(int rxRow) {
  AnalysisContext context{rx_, sbx_, platform_, signals_, progress_, timer1_, timer2_};
  zelko::AnalyzeMatch(context, rx_, rxRow);
}

void MainForm::RXCellDblClick(int /*column*/, int row) {
  Guard([this, row] {
    if (IsAnalysable(rx_.TextView(col::R_Status, row))) AnalyzeMatch(row);
  });
}

void MainForm::RX2CellClick(int column, int row) {
  Guard([this, column, row] {
    FavouriteBoards boards{rx_, rx2_, rx3_, page2Tabs_[1]};
    zelko::RX2CellClick(boards, column, row);
    KeepPage2OnVisibleTab();
  });
}

void MainForm::RX2CellDblClick(int /*column*/, int /*row*/) {}

void MainForm::RX3CellClick(int column, int row) {
  Guard([this, column, row] {
    FavouriteBoards boards{rx_, rx2_, rx3_, page2Tabs_[1]};
    zelko::RX3CellClick(boards, column, row);
    KeepPage2OnVisibleTab();
  });
}

void MainForm::RX3CellDblClick(int column, int row) {
  Guard([this, column, row] {
    FavouriteBoards boards{rx_, rx2_, rx3_, page2Tabs_[1]};
    zelko::RX3CellDblClick(
        boards, column, row, [this] { platform_.ProcessPendingEvents(); },
        [this](int rxRow) { AnalyzeMatch(rxRow); });
    KeepPage2OnVisibleTab();
  });
}

void MainForm::spSkinXFormButton1Click() {
  Guard([this] { SaveReport(rx3_, platform_); });
}

// --- Pages --------------------------------------------------------------------------------

void MainForm::SetPage2Active(int index) {
  if (index < 0 || index >= static_cast<int>(page2Tabs_.size())) return;
  if (!page2Tabs_[static_cast<std::size_t>(index)].visible) return;
  page2Active_ = index;
}

void MainForm::KeepPage2OnVisibleTab() {
  if (!page2Tabs_[static_cast<std::size_t>(page2Active_)].visible) page2Active_ = 0;
}

}  // namespace zelko
