#include "ui/image_lists.h"

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <utility>

#include "board/flags.h"

// The resource file is generated from the installed icon packages and linked from a static
// library, so its initialiser has to be called by name.
static void InitImageResources() {
  Q_INIT_RESOURCE(zelko_images);
}

namespace zelko::ui {
namespace {

constexpr int kSize = 16;

// The flag package's file for each country text of the flag table. The continental and world
// bodies share the flag of Europe with "UEFA".
struct FlagFile {
  std::string_view country;
  std::string_view file;
};
constexpr FlagFile kFlagFiles[] = {
    {"Argentina", "ar"},
    {"Armenia", "am"},
    {"Australia", "au"},
    {"Austria", "at"},
    {"Bahrain", "bh"},
    {"Belarus", "by"},
    {"Belgium", "be"},
    {"Bosnia", "ba"},
    {"Brazil", "br"},
    {"Bulgaria", "bg"},
    {"Cameroon", "cm"},
    {"Canada", "ca"},
    {"Chile", "cl"},
    {"China", "cn"},
    {"Colombia", "co"},
    {"Costa Rica", "cr"},
    {"Croatia", "hr"},
    {"Cyprus", "cy"},
    {"Czech Rep", "cz"},
    {"Denmark", "dk"},
    {"Egypt", "eg"},
    {"El Salvador", "sv"},
    {"England", "england"},
    {"Estonia", "ee"},
    {"UEFA", "europeanunion"},
    {"AFC", "europeanunion"},
    {"CAF", "europeanunion"},
    {"CONCACAF", "europeanunion"},
    {"CONMEBOL", "europeanunion"},
    {"FIFA", "europeanunion"},
    {"Finland", "fi"},
    {"France", "fr"},
    {"Georgia", "ge"},
    {"Germany", "de"},
    {"Greece", "gr"},
    {"Guatemala", "gt"},
    {"Honduras", "hn"},
    {"Hong Kong", "hk"},
    {"Hungary", "hu"},
    {"Iceland", "is"},
    {"India", "in"},
    {"Indonesia", "id"},
    {"Iran", "ir"},
    {"Iraq", "iq"},
    {"Ireland", "ie"},
    {"Israel", "il"},
    {"Italy", "it"},
    {"Japan", "jp"},
    {"Jordan", "jo"},
    {"Kazakhstan", "kz"},
    {"Kuwait", "kw"},
    {"Lebanon", "lb"},
    {"Lithuania", "lt"},
    {"Luxemburg", "lu"},
    {"Malaysia", "my"},
    {"Mexico", "mx"},
    {"Moldova", "md"},
    {"Montenegro", "me"},
    {"Morocco", "ma"},
    {"Holland", "nl"},
    {"New Zealand", "nz"},
    {"Norway", "no"},
    {"Paraguay", "py"},
    {"Peru", "pe"},
    {"Philippines", "ph"},
    {"Poland", "pl"},
    {"Portugal", "pt"},
    {"Qatar", "qa"},
    {"Romania", "ro"},
    {"Russia", "ru"},
    {"Saudi Arabia", "sa"},
    {"Scotland", "scotland"},
    {"Senegal", "sn"},
    {"Serbia", "rs"},
    {"Singapoure", "sg"},
    {"Slovakia", "sk"},
    {"Slovenia", "si"},
    {"South Africa", "za"},
    {"South Korea", "kr"},
    {"Spain", "es"},
    {"Sweden", "se"},
    {"Switzerland", "ch"},
    {"Thailand", "th"},
    {"Tunisia", "tn"},
    {"Turkey", "tr"},
    {"Ukraine", "ua"},
    {"UAE", "ae"},
    {"United States", "us"},
    {"Uruguay", "uy"},
    {"Uzbekistan", "uz"},
    {"Venezuela", "ve"},
    {"Vietnam", "vn"},
    {"Wales", "wales"},
    {"Yemen", "ye"},
    {"Andorra", "ad"},
    {"Nigeria", "ng"},
    {"Swaziland", "sz"},
    {"Algeria", "dz"},
    {"Syria", "sy"},
    {"Malta", "mt"},
    {"Macedonia FYR", "mk"},
    {"Albania", "al"},
    {"Kosovo", ""},
    {"Azerbaijan", "az"},
    {"Uganda", "ug"},
    {"Latvia", "lv"},
};

// A country the flag package has no picture for (Kosovo) shows the football, the picture of a
// league without a known country.
constexpr int kNoFlagFallback = 0;

// The silk icons of ImageList2 (index 0 is empty), ImageList3, ImageList4 and of the side grids'
// header pictures. The names are listed in src/ui/CMakeLists.txt as well.
constexpr std::array<const char*, 9> kTabIcons{
    "",             // 0 empty
    "chart_bar",    // 1 bar chart
    "bullet_red",   // 2 red ball
    "note",         // 3 notepad
    "transmit",     // 4 satellite dish
    "star",         // 5 star
    "information",  // 6 letter i in a circle
    "film",         // 7 film strip
    "arrow_up",     // 8 arrow up
};
constexpr std::array<const char*, 2> kToolIcons{"magnifier", "text_bold"};
constexpr std::array<const char*, 1> kCrossIcons{"cross"};
constexpr std::array<const char*, 13> kHeaderIcons{
    "tick",          // 0 the check column
    "world",         // 1 tournament (flag columns)
    "clock",         // 2 time, minute
    "sport_soccer",  // 3 score
    "chart_pie",     // 4 ball possession
    "lightning",     // 5 dangerous attack
    "bullet_green",  // 6 shot on target
    "bullet_white",  // 7 shot off target
    "note",          // 8 yellow card
    "page_red",      // 9 red card
    "flag_red",      // 10 corners
    "television",    // 11 broadcast
    "table",         // 12 on the board
};

QPixmap Empty() {
  QPixmap p(kSize, kSize);
  p.fill(Qt::transparent);
  return p;
}

// Centres a picture on a transparent 16 x 16 square (the flags are 16 x 11).
QPixmap Square(const QString& resource) {
  QImage image(resource);
  if (image.isNull()) return {};
  if (image.width() == kSize && image.height() == kSize) return QPixmap::fromImage(image);
  QPixmap out = Empty();
  QPainter painter(&out);
  painter.drawImage((kSize - image.width()) / 2, (kSize - image.height()) / 2, image);
  return out;
}

QPixmap Silk(const char* name) {
  if (name[0] == '\0') return Empty();
  return Square(QStringLiteral(":/silk/%1.png").arg(QLatin1String(name)));
}

QPixmap Football() {
  QSvgRenderer renderer(QStringLiteral(":/assets/football.svg"));
  QPixmap p = Empty();
  QPainter painter(&p);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter, QRectF(0, 0, kSize, kSize));
  return p;
}

template <std::size_t N>
std::vector<QPixmap> SilkList(const std::array<const char*, N>& names) {
  std::vector<QPixmap> out;
  out.reserve(N);
  for (const char* n : names) out.push_back(Silk(n));
  return out;
}

}  // namespace

std::string_view FlagFileFor(std::string_view country) {
  for (const FlagFile& f : kFlagFiles) {
    if (f.country == country) return f.file;
  }
  return {};
}

ImageLists::ImageLists() {
  InitImageResources();
  flags_.reserve(kFlagCount);
  flags_.push_back(Football());
  for (int i = 1; i < kFlagCount; ++i) {
    const std::string_view file = FlagFileFor(FlagCountry(i));
    QPixmap flag;
    if (!file.empty()) {
      flag = Square(QStringLiteral(":/flags/%1.png")
                        .arg(QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()))));
    }
    flags_.push_back(flag.isNull() ? flags_[kNoFlagFallback] : flag);
  }
  tabs_ = SilkList(kTabIcons);
  tools_ = SilkList(kToolIcons);
  cross_ = SilkList(kCrossIcons);
  headers_ = SilkList(kHeaderIcons);
}

const std::vector<QPixmap>* ImageLists::ListOf(ImageList list) const {
  switch (list) {
    case ImageList::Flags:
      return &flags_;
    case ImageList::Tabs:
      return &tabs_;
    case ImageList::Tools:
      return &tools_;
    case ImageList::Cross:
      return &cross_;
    case ImageList::None:
      break;
  }
  return nullptr;
}

const QPixmap& ImageLists::Image(ImageList list, int index) const {
  const std::vector<QPixmap>* images = ListOf(list);
  if (!images || index < 0 || index >= static_cast<int>(images->size())) return none_;
  return (*images)[static_cast<std::size_t>(index)];
}

int ImageLists::Count(ImageList list) const {
  const std::vector<QPixmap>* images = ListOf(list);
  return images ? static_cast<int>(images->size()) : 0;
}

const QPixmap& ImageLists::HeaderIcon(int icon) const {
  if (icon < 0 || icon >= static_cast<int>(headers_.size())) return none_;
  return headers_[static_cast<std::size_t>(icon)];
}

}  // namespace zelko::ui
