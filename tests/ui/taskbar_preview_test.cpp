// The taskbar's picture of the program: a form rendered with its frame,
// scaled to the size the taskbar asks for, at 96 and at 144 DPI.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/TaskbarPreview.h"

namespace qn3::ui {
namespace {

TApplication& App() {
  static TApplication app(GetModuleHandleA(nullptr));
  return app;
}

// A small main window: a label, a button, an edit.
class PreviewForm final : public TForm {
public:
  explicit PreviewForm(TApplication& app) : TForm(app, "TPreviewForm") {
    CreateHandle({"QN3Test.Preview", "QN3 Helper 1.1", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                  100, 100, 347, 100, "Tahoma", ANSI_CHARSET, nullptr});
    label_ = AddLabel("Label1", 110, {16, 16, 59, 13}, "Namespace:");
    edit_ = AddEdit("EditExe", 106, {16, 32, 317, 21}, "C:\\Help\\dexplore.exe");
    button_ = AddButton("BtnOpen", 103, {96, 64, 75, 25}, "Open", true);
  }
  ~PreviewForm() override { DestroyHandle(); }
  void MoveToDpi(int dpi) { ChangeDpi(Dpi(dpi), Left(), Top()); }

private:
  std::unique_ptr<TControl> label_, edit_, button_;
};

struct Picture {
  int width = 0, height = 0, bitsPerPixel = 0;
  std::vector<DWORD> pixels;
};

Picture Read(HBITMAP bitmap) {
  Picture p;
  DIBSECTION dib{};
  if (!bitmap || GetObjectA(bitmap, sizeof dib, &dib) != sizeof dib) return p;
  p.width = dib.dsBm.bmWidth;
  p.height = dib.dsBm.bmHeight;
  p.bitsPerPixel = dib.dsBm.bmBitsPixel;
  const auto* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
  p.pixels.assign(bits, bits + static_cast<size_t>(p.width) * p.height);
  return p;
}

DWORD Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

void ExpectAPicture(const Picture& p) {
  EXPECT_EQ(p.bitsPerPixel, 32);
  ASSERT_FALSE(p.pixels.empty());
  EXPECT_TRUE(std::all_of(p.pixels.begin(), p.pixels.end(), [](DWORD c) { return (c >> 24) == 0xFF; }))
      << "the alpha is opaque";
  std::set<DWORD> colours;
  for (DWORD c : p.pixels) colours.insert(c & 0xFFFFFF);
  EXPECT_GT(colours.size(), 4u) << "not blank";
  const DWORD face = Rgb(GetSysColor(COLOR_BTNFACE));
  const auto drawn = std::count_if(p.pixels.begin(), p.pixels.end(), [&](DWORD c) { return (c & 0xFFFFFF) == face; });
  EXPECT_GT(drawn, static_cast<long>(p.pixels.size() / 4)) << "the form's face colour fills its client area";
}

TEST(TaskbarPreview, TheFormFitsTheThumbnailAndTheLivePreviewIsItsWholeSize) {
  for (int dpi : {96, 144}) {
    SCOPED_TRACE(std::to_string(dpi) + " DPI");
    PreviewForm form(App());
    if (dpi != 96) form.MoveToDpi(dpi);
    ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(form.Handle());
    RECT r{};
    GetWindowRect(form.Handle(), &r);
    const long w = r.right - r.left, h = r.bottom - r.top;

    const Picture thumbnail = Read(RenderWindow(form.Handle(), {200, 120}).get());
    EXPECT_LE(thumbnail.width, 200);
    EXPECT_LE(thumbnail.height, 120);
    EXPECT_TRUE(thumbnail.width == 200 || thumbnail.height == 120) << "as large as fits";
    // The form's aspect ratio, within one pixel.
    EXPECT_LE(std::abs(thumbnail.height * w - thumbnail.width * h), std::max(w, h));
    ExpectAPicture(thumbnail);

    const Picture full = Read(RenderWindow(form.Handle()).get());
    EXPECT_EQ(full.width, w);
    EXPECT_EQ(full.height, h);
    ExpectAPicture(full);
  }
}

}  // namespace
}  // namespace qn3::ui
