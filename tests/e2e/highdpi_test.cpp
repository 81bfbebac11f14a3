// The real qn3.exe at 144 DPI (a prefix of its own, see highdpi.cmake): the
// main window, its controls, the options panel, the message boxes' offsets
// and the About box are the 96-DPI design with every figure scaled by 1.5,
// rounded half away from zero one figure at a time.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "about/uAbout.h"
#include "app/Ids.h"
#include "tests/e2e/driver/Driver.h"

namespace qn3::e2e {
namespace {

constexpr int kDpi = 144;

// One design figure at the test DPI.
int S(int design) { return MulDiv(design, kDpi, 96); }

struct Design {
  int left, top, width, height;
};

int Height(const RECT& r) { return r.bottom - r.top; }

void ExpectScaled(const RECT& r, const Design& d) {
  EXPECT_EQ(r.left, S(d.left));
  EXPECT_EQ(r.top, S(d.top));
  EXPECT_EQ(r.right - r.left, S(d.width));
  EXPECT_EQ(r.bottom - r.top, S(d.height));
}

// The names the stand-in lists, in a file of this test's own.
class NamesFile {
public:
  explicit NamesFile(const std::string& text) : path_(BuildDir() + "\\e2e-highdpi-namespaces.txt") {
    if (FILE* f = std::fopen(path_.c_str(), "wb")) {
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
    }
  }
  ~NamesFile() { DeleteFileA(path_.c_str()); }
  NamesFile(const NamesFile&) = delete;
  NamesFile& operator=(const NamesFile&) = delete;
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

LaunchOptions WithRuntime(const NamesFile& names) {
  LaunchOptions options;
  options.env.emplace_back("HXSTANDIN_NAMESPACES", names.path());
  options.unset_env.push_back("HXSTANDIN_FAULT");
  return options;
}

class HighDpi : public testing::Test {
protected:
  static void SetUpTestSuite() {
    // Unaware, this process would be shown every rectangle at 96 DPI.
    SetProcessDPIAware();
  }

  void SetUp() override {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, kDpi) << "the test prefix must run at 144 DPI";
  }

  HWND Start(App& app) {
    EXPECT_TRUE(app.started());
    HWND main = app.Main();
    EXPECT_NE(main, nullptr) << "no main window";
    EXPECT_TRUE(app.Sync());
    return main;
  }
};

TEST_F(HighDpi, MainWindowAndControlsAreTheDesignScaled) {
  NamesFile names("Alpha\r\nBeta\r\n");
  App app(WithRuntime(names));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);

  const RECT window = WindowRectOf(main);
  EXPECT_EQ(window.left, S(196));
  EXPECT_EQ(window.top, S(117));
  const RECT client = ClientRectOf(main);
  EXPECT_EQ(client.right, S(347));
  EXPECT_EQ(client.bottom, S(100));

  const struct {
    int id;
    Design design;
  } rows[] = {
      {ids::kLabel1, {16, 16, 59, 13}},     {ids::kCmbNamespace, {16, 32, 317, 21}},
      {ids::kBtnRefresh, {15, 64, 75, 25}}, {ids::kBtnOpen, {96, 64, 75, 25}},
      {ids::kBtnOptions, {177, 64, 75, 25}}, {ids::kBtnAbout, {258, 64, 75, 25}},
      {ids::kBevel1, {16, 100, 317, 2}},    {ids::kLabel2, {16, 113, 79, 13}},
      {ids::kEditExe, {16, 129, 317, 21}},  {ids::kLabel3, {16, 156, 59, 13}},
      {ids::kEditParams, {16, 172, 317, 21}}, {ids::kBtnAuto, {177, 203, 75, 25}},
      {ids::kBtnBrowse, {258, 203, 75, 25}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("control " + std::to_string(row.id));
    HWND control = Control(main, row.id);
    ASSERT_NE(control, nullptr);
    const RECT r = RectInParent(control);
    const bool label = row.id == ids::kLabel1 || row.id == ids::kLabel2 || row.id == ids::kLabel3;
    if (label) {
      // A label grows to its text when the scaled font needs more than the
      // scaled design width; it is never narrower than that.
      EXPECT_EQ(r.left, S(row.design.left));
      EXPECT_EQ(r.top, S(row.design.top));
      EXPECT_GE(r.right - r.left, S(row.design.width));
      EXPECT_EQ(r.bottom - r.top, S(row.design.height));
      continue;
    }
    if (row.id != ids::kCmbNamespace) {
      ExpectScaled(r, row.design);
      continue;
    }
    // A drop-down list that does not draw its own items is as high as its
    // font needs and ignores a height it is given; with the 17-pixel font
    // that is up to 2 pixels over the scaled design, never under it.
    EXPECT_EQ(r.left, S(row.design.left));
    EXPECT_EQ(r.top, S(row.design.top));
    EXPECT_EQ(r.right - r.left, S(row.design.width));
    EXPECT_GE(r.bottom - r.top, S(row.design.height));
    EXPECT_LE(r.bottom - r.top, S(row.design.height) + 2);
    EXPECT_LE(r.bottom, S(64)) << "the list stays clear of the buttons";
  }
  HWND combo = Control(main, ids::kCmbNamespace);
  const LRESULT item = SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0);
  EXPECT_GE(item, S(13)) << "list items grow with the font";
  EXPECT_LE(item, S(13) + 1);
  EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"Alpha", "Beta"}));
  SaveScreenshot(main, "qn3-144dpi");
}

TEST_F(HighDpi, OptionsPanelHeightsAreScaled) {
  NamesFile names("Alpha\r\n");
  App app(WithRuntime(names));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);
  HWND options = Control(main, ids::kBtnOptions);
  const int collapsed = Height(WindowRectOf(main));

  ASSERT_TRUE(Click(options));
  // The expanded height is Browse's bottom plus the margin, each scaled.
  EXPECT_EQ(Height(WindowRectOf(main)), S(203) + S(25) + S(43));
  EXPECT_EQ(TextOf(options), "Options <");
  const RECT browse = RectInParent(Control(main, ids::kBtnBrowse));
  EXPECT_LE(browse.bottom, ClientRectOf(main).bottom) << "Browse is inside the expanded window";

  ASSERT_TRUE(Click(options));
  EXPECT_EQ(Height(WindowRectOf(main)), collapsed);
  EXPECT_EQ(ClientRectOf(main).bottom, S(100));
  EXPECT_EQ(TextOf(options), "Options >");
}

TEST_F(HighDpi, MessageBoxOffsetsAreScaled) {
  {
    App app(WithoutRuntime());
    HWND main = Start(app);
    ASSERT_NE(main, nullptr);
    auto notice = app.WaitMessageBox("Information");
    ASSERT_TRUE(notice.has_value());
    const RECT window = WindowRectOf(main);
    EXPECT_EQ(notice->rect.left, window.left + S(35));
    EXPECT_EQ(notice->rect.top, window.top + S(70));
    ASSERT_FALSE(notice->button_ids.empty());
    PostClick(Control(notice->window, notice->button_ids.front()));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(notice->window); }));
    // The disabled button's hint is found by its scaled rectangle.
    EXPECT_EQ(HoverTooltip(app.pid(), app.MainControl(ids::kBtnOpen)), "Open namespace content");
  }
  NamesFile names("Alpha\r\n");
  App app(WithRuntime(names));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);
  PostClick(app.MainControl(ids::kBtnAuto));
  auto question = app.WaitMessageBox("Warning");
  ASSERT_TRUE(question.has_value());
  const RECT window = WindowRectOf(main);
  EXPECT_EQ(question->rect.left, window.left + S(20));
  EXPECT_EQ(question->rect.top, window.top + S(70));
  for (size_t i = 0; i < question->buttons.size(); ++i)
    if (question->buttons[i] == "&No") PostClick(Control(question->window, question->button_ids[i]));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(question->window); }));
}

TEST_F(HighDpi, AboutBoxIsTheDesignScaledAndCentred) {
  NamesFile names("Alpha\r\n");
  App app(WithRuntime(names));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);
  PostClick(app.MainControl(ids::kBtnAbout));
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (about = FindVisible(app.pid(), ids::kAboutWindowClass)) != nullptr; }));

  // Every caption fits its label at this size too, so nothing is widened.
  const RECT client = ClientRectOf(about);
  EXPECT_EQ(client.right, S(230));
  EXPECT_EQ(client.bottom, S(133));
  const RECT m = WindowRectOf(main), a = WindowRectOf(about);
  EXPECT_EQ(a.left, m.left + ((m.right - m.left) - (a.right - a.left)) / 2);
  EXPECT_EQ(a.top, m.top + ((m.bottom - m.top) - (a.bottom - a.top)) / 2);

  HWND group = Control(about, ids::kGroupBox1);
  ASSERT_NE(group, nullptr);
  ExpectScaled(RectInParent(Control(about, ids::kBtnOk)), {147, 105, 75, 23});
  ExpectScaled(RectInParent(group), {9, 10, 212, 89});
  const struct {
    int id;
    Design design;
  } rows[] = {
      {ids::kImage, {13, 19, 32, 32}},         {ids::kLblProduct, {57, 14, 144, 13}},
      {ids::kLblVersion, {57, 31, 144, 13}},   {ids::kLblCopyright, {57, 48, 144, 13}},
      {ids::kLblCompany, {57, 65, 144, 14}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("control " + std::to_string(row.id));
    HWND control = Control(group, row.id);
    ASSERT_NE(control, nullptr);
    ExpectScaled(RectInParent(control), row.design);
  }
  PostClick(Control(about, ids::kBtnOk));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(about); }));
}

}  // namespace
}  // namespace qn3::e2e
