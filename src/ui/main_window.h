#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QTimer;

namespace zelko {
class MainForm;
class Platform;
}  // namespace zelko

namespace zelko::ui {

class CardView;
class ClickableLabel;
class GridModel;
class ImageLists;
class SideGrid;

// The main window "ZELKO": the controls of the form, bound to MainForm. Every user action calls
// the form's handler of that control and then brings every control up to the form's state;
// the window keeps no state of its own that the handlers need. Every widget's objectName is
// its control name.
class MainWindow final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 1026;
  static constexpr int kClientHeight = 706;

  // Builds the controls and runs the form's creation step.
  MainWindow(MainForm& form, Platform& platform, const ImageLists& images,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  MainForm& Form() const { return form_; }
  // Brings every control up to the form's state.
  void SyncFromForm();
  // Places the window in the middle of its screen.
  void Centre();

  CardView* WorkBoard() const { return rx2_; }
  CardView* Favourites() const { return rx3_; }
  QTabWidget* Pages() const { return page_; }
  QTabWidget* InnerPages() const { return page2_; }
  // The LIVE tab's page, for pictures of the live table while its tab is hidden.
  QWidget* LivePage() const { return livePage_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Runs one handler of the form, then mirrors the form.
  void Handle(const std::function<void()>& handler);

  QWidget* BuildLoginPage();
  QWidget* BuildBoardPage();
  QWidget* BuildWorkPage();
  QWidget* BuildFavouritesPage();
  QWidget* BuildLivePage();
  QWidget* BuildFilterBar();

  MainForm& form_;
  Platform& platform_;
  const ImageLists& images_;
  bool resizable_ = false;

  QTabWidget* page_ = nullptr;
  QTabWidget* page2_ = nullptr;
  QWidget* livePage_ = nullptr;
  QLineEdit* loginedit_ = nullptr;
  QLineEdit* passedit_ = nullptr;
  QCheckBox* zap_ = nullptr;
  ClickableLabel* livetime_ = nullptr;
  ClickableLabel* livetime2_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QCheckBox* checkers_[4] = {};
  QSpinBox* filtr_ = nullptr;
  QLabel* count_ = nullptr;
  QRadioButton* checker5_ = nullptr;
  QRadioButton* checker6_ = nullptr;
  QComboBox* sort_ = nullptr;
  QCheckBox* auto_ = nullptr;
  QWidget* liveOption_ = nullptr;
  QSplitter* opt_ = nullptr;
  QTimer* timer1_ = nullptr;
  QTimer* timer2_ = nullptr;

  GridModel* rxModel_ = nullptr;
  GridModel* rx2Model_ = nullptr;
  GridModel* rx3Model_ = nullptr;
  GridModel* sbxModel_ = nullptr;
  GridModel* liveModel_ = nullptr;
  GridModel* liveStatModel_ = nullptr;
  CardView* rx_ = nullptr;
  CardView* rx2_ = nullptr;
  CardView* rx3_ = nullptr;
  SideGrid* sbx_ = nullptr;
  SideGrid* liveGrid_ = nullptr;
  SideGrid* liveStatGrid_ = nullptr;
};

}  // namespace zelko::ui
