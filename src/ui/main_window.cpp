#include "ui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/main_form.h"
#include "board/columns.h"
#include "feed/platform.h"
#include "feed/service_url.h"
#include "ui/card_view.h"
#include "ui/clickable_label.h"
#include "ui/grid_model.h"
#include "ui/image_lists.h"
#include "ui/login_page.h"
#include "ui/side_grid.h"

namespace zelko::ui {
namespace {

// Tab pictures from ImageList2.
constexpr int kAboutIcon = 6;
constexpr int kZelkoIcon = 2;
constexpr int kLiveIcon = 2;
constexpr int kWorkIcon = 3;
constexpr int kFavoriteIcon = 5;

constexpr int kCountdownWidth = 180;
constexpr int kBottomHeight = 168;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// Sets a widget's value without letting it report the change back as a user action.
template <typename W, typename F>
void Quietly(W* widget, F&& set) {
  const bool old = widget->blockSignals(true);
  set();
  widget->blockSignals(old);
}

}  // namespace

MainWindow::MainWindow(MainForm& form, Platform& platform, const ImageLists& images,
                       QWidget* parent)
    : QWidget(parent), form_(form), platform_(platform), images_(images) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::WindowMinimizeButtonHint);

  rxModel_ = new GridModel(form_.RX(), images_, this);
  rx2Model_ = new GridModel(form_.RX2(), images_, this);
  rx3Model_ = new GridModel(form_.RX3(), images_, this);
  sbxModel_ = new GridModel(form_.SBX(), images_, this);
  liveModel_ = new GridModel(form_.LiveGrid(), images_, this);
  liveStatModel_ = new GridModel(form_.LiveStatGrid(), images_, this);

  page_ = Named(new QTabWidget(this), "Page");
  page_->addTab(BuildLoginPage(), images_.TabIcon(kAboutIcon), QStringLiteral("ABOUT"));
  page_->addTab(BuildBoardPage(), images_.TabIcon(kZelkoIcon), QStringLiteral("Zelko"));
  page_->addTab(BuildLivePage(), images_.TabIcon(kLiveIcon), QStringLiteral("LIVE"));
  page_->widget(0)->setObjectName(QStringLiteral("TS"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(page_);

  timer1_ = Named(new QTimer(this), "Timer1");
  timer2_ = Named(new QTimer(this), "Timer2");
  timer1_->setInterval(1000);
  timer2_->setInterval(1000);
  // A tick of a disabled timer is dropped: the form's own flag decides.
  connect(timer1_, &QTimer::timeout, this, [this] {
    if (form_.Timer1().enabled) Handle([this] { form_.Timer1Timer(); });
  });
  connect(timer2_, &QTimer::timeout, this, [this] {
    if (form_.Timer2().enabled) Handle([this] { form_.Timer2Timer(); });
  });

  // Fixed in size until the login.
  setFixedSize(kClientWidth, kClientHeight);
  Handle([this] { form_.FormCreate(); });
}

MainWindow::~MainWindow() = default;

void MainWindow::Handle(const std::function<void()>& handler) {
  handler();
  SyncFromForm();
}

QWidget* MainWindow::BuildLoginPage() {
  auto* page = new LoginPage;
  auto* panel = Named(new QFrame(page), "LoginPanel");
  panel->setStyleSheet(QStringLiteral(
      "#LoginPanel { background: rgba(8, 32, 20, 190); border: 1px solid #9ccfb0;"
      " border-radius: 8px; }"
      "#LoginPanel QLabel, #LoginPanel QCheckBox { color: #f2f8f4; font-weight: bold; }"
      "#LoginPanel QLabel a { color: #ffe082; }"));
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(24, 20, 24, 16);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(10);

  loginedit_ = Named(new QLineEdit, "loginedit");
  passedit_ = Named(new QLineEdit, "passedit");
  passedit_->setEchoMode(QLineEdit::Password);
  loginedit_->setMinimumWidth(200);
  zap_ = Named(new QCheckBox(QStringLiteral("Запомнить")), "zap");
  auto* login = Named(new QPushButton(QStringLiteral("LOGIN")), "spSkinXFormButton7");
  login->setDefault(true);
  login->setMinimumHeight(28);

  grid->addWidget(Named(new QLabel(QStringLiteral("LOGIN")), "Label1"), 0, 0);
  grid->addWidget(loginedit_, 0, 1);
  grid->addWidget(Named(new QLabel(QStringLiteral("PASSWORD")), "Label2"), 1, 0);
  grid->addWidget(passedit_, 1, 1);
  grid->addWidget(zap_, 2, 1);
  grid->addWidget(login, 3, 0, 1, 2);

  const QString site = QString::fromLatin1(kProductSiteHost);
  auto* siteLabel = Named(new QLabel(QStringLiteral("Сайт программы:")), "Label3");
  auto* link = Named(
      new QLabel(QStringLiteral("<a href=\"http://%1\" style=\"color:#ffe082\">%1</a>").arg(site)),
      "Link");
  link->setTextFormat(Qt::RichText);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  link->setOpenExternalLinks(false);
  connect(link, &QLabel::linkActivated, this,
          [this](const QString& url) { platform_.OpenWithShell(url.toStdString()); });
  grid->addWidget(siteLabel, 4, 0);
  grid->addWidget(link, 4, 1);
  grid->addWidget(Named(new QLabel(QStringLiteral("Version: 2.4")), "Label4"), 5, 0, 1, 2,
                  Qt::AlignRight);

  connect(loginedit_, &QLineEdit::textChanged, this,
          [this](const QString& text) { form_.SetLoginText(text.toStdString()); });
  connect(passedit_, &QLineEdit::textChanged, this,
          [this](const QString& text) { form_.SetPasswordText(text.toStdString()); });
  connect(passedit_, &QLineEdit::returnPressed, login, &QPushButton::click);
  connect(zap_, &QCheckBox::clicked, this, [this] { Handle([this] { form_.zapClick(); }); });
  connect(login, &QPushButton::clicked, this,
          [this] { Handle([this] { form_.spSkinXFormButton7Click(); }); });

  auto* outer = new QVBoxLayout(page);
  outer->addStretch(5);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(panel);
  row->addStretch(1);
  outer->addLayout(row);
  outer->addStretch(4);
  return page;
}

QWidget* MainWindow::BuildBoardPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 2, 0, 0);
  layout->setSpacing(2);

  auto* top = new QHBoxLayout;
  top->setContentsMargins(4, 0, 4, 0);
  livetime2_ = Named(new ClickableLabel, "livetime2");
  livetime_ = Named(new ClickableLabel, "livetime");
  for (QLabel* label : {livetime2_, livetime_}) {
    label->setFixedWidth(kCountdownWidth);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumHeight(20);
  }
  livetime2_->setFrameShape(QFrame::Panel);
  livetime2_->setFrameShadow(QFrame::Sunken);
  progress_ = Named(new QProgressBar, "progress");
  progress_->setVisible(false);
  progress_->setTextVisible(false);
  progress_->setFixedHeight(14);
  connect(livetime_, &ClickableLabel::clicked, this,
          [this] { Handle([this] { form_.livetimeClick(); }); });
  connect(livetime2_, &ClickableLabel::clicked, this,
          [this] { Handle([this] { form_.livetime2Click(); }); });
  top->addWidget(livetime2_);
  top->addWidget(progress_, 1);
  top->addStretch();
  top->addWidget(livetime_);
  layout->addLayout(top);

  page2_ = Named(new QTabWidget, "Page2");
  page2_->addTab(BuildWorkPage(), images_.TabIcon(kWorkIcon), QStringLiteral("Work"));
  page2_->addTab(BuildFavouritesPage(), images_.TabIcon(kFavoriteIcon), QStringLiteral("Favorite"));
  connect(page2_, &QTabWidget::currentChanged, this,
          [this](int index) { form_.SetPage2Active(index); });
  layout->addWidget(page2_, 1);

  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(2, 0, 2, 2);
  auto* strange = Named(new QGroupBox(QStringLiteral("StrangeBets")), "StrangeBetsBox");
  sbx_ = Named(new SideGrid(sbxModel_, false, colors::kHighlight), "SBX");
  (new QVBoxLayout(strange))->addWidget(sbx_);
  auto* live = Named(new QGroupBox(QStringLiteral("LIVE")), "LiveBox");
  liveStatGrid_ = Named(new SideGrid(liveStatModel_, true, colors::kHighlight), "LiveStatGrid");
  (new QVBoxLayout(live))->addWidget(liveStatGrid_);
  for (QGroupBox* box : {strange, live}) {
    box->layout()->setContentsMargins(2, 2, 2, 2);
    box->setFixedHeight(kBottomHeight);
  }
  bottom->addWidget(strange, 47);
  bottom->addWidget(live, 53);
  layout->addLayout(bottom);
  return page;
}

QWidget* MainWindow::BuildFilterBar() {
  auto* bar = Named(new QFrame, "FilterBar");
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(4, 0, 4, 0);
  layout->setSpacing(6);

  auto* status = Named(new QGroupBox(QStringLiteral("Status")), "StatusBox");
  status->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  auto* statusLayout = new QHBoxLayout(status);
  statusLayout->setContentsMargins(6, 0, 6, 2);
  statusLayout->setSpacing(6);
  static constexpr const char* kStatusNames[4] = {"checker1", "checker2", "checker3", "checker4"};
  static constexpr const char* kStatusCaptions[4] = {"LIVE", "SOON", "FINISH", "CANCEL"};
  for (int i = 0; i < 4; ++i) {
    auto* box = Named(new QCheckBox(QLatin1String(kStatusCaptions[i])), kStatusNames[i]);
    checkers_[i] = box;
    statusLayout->addWidget(box);
    connect(box, &QCheckBox::clicked, this,
            [this, i] { Handle([this, i] { form_.StatusBoxClick(i + 1); }); });
  }
  layout->addWidget(status);

  layout->addWidget(Named(new QLabel(QStringLiteral("Money >")), "MoneyLabel"));
  filtr_ = Named(new QSpinBox, "filtr");
  filtr_->setRange(0, 999999999);
  filtr_->setSingleStep(1);
  filtr_->setValue(0);
  filtr_->setMinimumWidth(72);
  connect(filtr_, &QSpinBox::textChanged, this, [this](const QString& text) {
    Handle([this, text] { form_.filtrChange(text.toStdString()); });
  });
  layout->addWidget(filtr_);

  auto* view = Named(new QFrame, "ViewBox");
  auto* viewLayout = new QHBoxLayout(view);
  viewLayout->setContentsMargins(0, 0, 0, 0);
  checker5_ = Named(new QRadioButton(QStringLiteral("Zelko")), "checker5");
  checker6_ = Named(new QRadioButton(QStringLiteral("Score")), "checker6");
  viewLayout->addWidget(checker5_);
  viewLayout->addWidget(checker6_);
  connect(checker5_, &QRadioButton::clicked, this,
          [this] { Handle([this] { form_.checker5Click(); }); });
  connect(checker6_, &QRadioButton::clicked, this,
          [this] { Handle([this] { form_.checker6Click(); }); });
  layout->addWidget(view);

  layout->addWidget(Named(new QLabel(QStringLiteral("Sort")), "SortLabel"));
  sort_ = Named(new QComboBox, "sort");
  sort_->addItems({QStringLiteral("Time"), QStringLiteral("Tournament"), QStringLiteral("Status"),
                   QStringLiteral("Bukm."), QStringLiteral("People"), QStringLiteral("Update")});
  sort_->setEditable(false);
  connect(sort_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
    Handle([this, text] { form_.sortChange(text.toStdString()); });
  });
  layout->addWidget(sort_);

  auto* ar = Named(new QPushButton(QStringLiteral("Refresh")), "ar");
  connect(ar, &QPushButton::clicked, this, [this] { Handle([this] { form_.arClick(); }); });
  layout->addWidget(ar);
  auto_ = Named(new QCheckBox(QStringLiteral("Auto Update Score")), "auto");
  connect(auto_, &QCheckBox::clicked, this, [this] { Handle([this] { form_.autoClick(); }); });
  layout->addWidget(auto_);

  layout->addStretch(1);
  count_ = Named(new QLabel, "count");
  count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  count_->setMinimumWidth(80);
  layout->addWidget(count_);
  return bar;
}

QWidget* MainWindow::BuildWorkPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(BuildFilterBar());
  // RX, the master board, lies under RX2 and is never seen.
  rx_ = Named(new CardView(rxModel_, page), "RX");
  rx_->hide();
  rx2_ = Named(new CardView(rx2Model_), "RX2");
  connect(rx2_, &CardView::cellClicked, this, [this](int column, int row) {
    Handle([this, column, row] { form_.RX2CellClick(column, row); });
  });
  connect(rx2_, &CardView::cellDoubleClicked, this, [this](int column, int row) {
    Handle([this, column, row] { form_.RX2CellDblClick(column, row); });
  });
  connect(rx_, &CardView::cellDoubleClicked, this, [this](int column, int row) {
    Handle([this, column, row] { form_.RXCellDblClick(column, row); });
  });
  layout->addWidget(rx2_, 1);
  return page;
}

QWidget* MainWindow::BuildFavouritesPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 2, 0, 0);
  layout->setSpacing(2);
  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(4, 0, 4, 0);
  bar->addStretch(1);
  auto* save = Named(new QPushButton(QStringLiteral("SAVE")), "spSkinXFormButton1");
  connect(save, &QPushButton::clicked, this,
          [this] { Handle([this] { form_.spSkinXFormButton1Click(); }); });
  bar->addWidget(save);
  layout->addLayout(bar);
  rx3_ = Named(new CardView(rx3Model_), "RX3");
  connect(rx3_, &CardView::cellClicked, this, [this](int column, int row) {
    Handle([this, column, row] { form_.RX3CellClick(column, row); });
  });
  connect(rx3_, &CardView::cellDoubleClicked, this, [this](int column, int row) {
    Handle([this, column, row] { form_.RX3CellDblClick(column, row); });
  });
  layout->addWidget(rx3_, 1);
  return page;
}

QWidget* MainWindow::BuildLivePage() {
  livePage_ = new QWidget;
  auto* layout = new QVBoxLayout(livePage_);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* bar = new QHBoxLayout;
  auto* option = Named(new QPushButton(QStringLiteral("Option")), "spSkinXFormButton2");
  connect(option, &QPushButton::clicked, this,
          [this] { Handle([this] { form_.spSkinXFormButton2Click(); }); });
  bar->addWidget(option);
  bar->addStretch(1);
  layout->addLayout(bar);

  auto* body = new QHBoxLayout;
  liveGrid_ = Named(new SideGrid(liveModel_, true, colors::kDarkRed), "LiveGrid");
  body->addWidget(liveGrid_, 1);
  liveOption_ = Named(new QFrame, "LiveOption");
  static_cast<QFrame*>(liveOption_)->setFrameShape(QFrame::StyledPanel);
  liveOption_->setFixedWidth(320);
  auto* optionLayout = new QVBoxLayout(liveOption_);
  optionLayout->setContentsMargins(2, 2, 2, 2);
  opt_ = Named(new QSplitter(Qt::Vertical), "opt");
  // Where the broadcast page was shown; no operation uses it, so it stays an empty panel.
  auto* placeholder = Named(new QLabel, "WebBrowser1");
  placeholder->setAlignment(Qt::AlignCenter);
  placeholder->setFrameShape(QFrame::Box);
  opt_->addWidget(placeholder);
  optionLayout->addWidget(opt_);
  body->addWidget(liveOption_);
  liveOption_->hide();
  opt_->hide();
  layout->addLayout(body, 1);
  return livePage_;
}

void MainWindow::SyncFromForm() {
  setWindowTitle(Q(form_.Caption()));
  if (form_.Resizable() && !resizable_) {
    resizable_ = true;
    setMinimumSize(640, 480);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }

  Quietly(page_, [this] {
    const auto& tabs = form_.PageTabs();
    for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
      page_->setTabText(i, Q(tabs[static_cast<std::size_t>(i)].caption));
      page_->setTabVisible(i, tabs[static_cast<std::size_t>(i)].visible);
    }
    page_->setCurrentIndex(form_.PageActive());
  });
  Quietly(page2_, [this] {
    const auto& tabs = form_.Page2Tabs();
    for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
      page2_->setTabText(i, Q(tabs[static_cast<std::size_t>(i)].caption));
      page2_->setTabVisible(i, tabs[static_cast<std::size_t>(i)].visible);
    }
    page2_->setCurrentIndex(form_.Page2Active());
  });

  livetime_->setText(Q(form_.livetime()));
  livetime2_->setText(Q(form_.livetime2()));
  count_->setText(Q(form_.count()));
  const Gauge& gauge = form_.progress();
  progress_->setMaximum(gauge.max);
  progress_->setValue(gauge.position);
  progress_->setVisible(gauge.visible);

  Quietly(loginedit_, [this] {
    if (loginedit_->text().toStdString() != form_.loginedit())
      loginedit_->setText(Q(form_.loginedit()));
  });
  Quietly(passedit_, [this] {
    if (passedit_->text().toStdString() != form_.passedit())
      passedit_->setText(Q(form_.passedit()));
  });
  Quietly(zap_, [this] { zap_->setChecked(form_.zap()); });
  const StatusBoxes& status = form_.statusBoxes();
  const bool states[4] = {status.live, status.soon, status.finish, status.cancel};
  for (int i = 0; i < 4; ++i)
    Quietly(checkers_[i], [this, i, &states] { checkers_[i]->setChecked(states[i]); });
  Quietly(filtr_, [this] {
    if (filtr_->text().toStdString() == form_.filtr()) return;
    bool ok = false;
    const int value = Q(form_.filtr()).toInt(&ok);
    if (ok) filtr_->setValue(value);
  });
  Quietly(checker5_, [this] { checker5_->setChecked(form_.checker5()); });
  Quietly(checker6_, [this] { checker6_->setChecked(form_.checker6()); });
  Quietly(sort_, [this] {
    if (sort_->currentText().toStdString() != form_.sort()) sort_->setCurrentText(Q(form_.sort()));
  });
  Quietly(auto_, [this] { auto_->setChecked(form_.autoUpdate()); });

  liveOption_->setVisible(form_.LiveOptionVisible());
  opt_->setVisible(form_.LiveOptionVisible());

  // The timers run only while the form has them enabled; a timer started again counts a full
  // second from now, as a tick ends before the next second starts.
  for (auto [timer, enabled] :
       {std::pair{timer1_, form_.Timer1().enabled}, std::pair{timer2_, form_.Timer2().enabled}}) {
    if (enabled && !timer->isActive()) timer->start();
    if (!enabled && timer->isActive()) timer->stop();
  }
}

void MainWindow::Centre() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  QRect frame = frameGeometry();
  frame.moveCenter(area.center());
  move(frame.topLeft());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing the window ends the application; nothing is saved at exit.
  event->accept();
}

}  // namespace zelko::ui
