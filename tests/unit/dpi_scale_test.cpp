#include "ui/DpiScale.h"

#include <gtest/gtest.h>

#include "ui/Form.h"

namespace ui {
namespace {

TEST(DpiScale, ScalesEdgesToTheNearestDevicePixel) {
    struct Case {
        int dpi, layout, device;
    } cases[] = {
        {96, 139, 139}, {144, 139, 209} /* 208.5 rounds up */, {144, 440, 660}, {192, 440, 880},
        {120, 3, 4} /* 3.75 */,         {144, -3, -4} /* -4.5 rounds up */,  {168, 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(DpiScale(c.dpi).Scale(c.layout), c.device) << c.dpi << " " << c.layout;
    EXPECT_EQ(DpiScale(120).ScaleLength(1), 1);
    EXPECT_EQ(DpiScale(72).ScaleLength(1), 1);  // a pen never vanishes
    EXPECT_EQ(DpiScale(0).dpi(), kLayoutDpi);   // a nonsense reading falls back to the layout's dpi
}

TEST(DpiScale, NeighbouringControlsStillMeetAtEveryScale) {
    // Two rows side by side and one below: edges, not sizes, are rounded.
    const Rect a{139, 197, 101, 57}, b{240, 197, 77, 57}, below{139, 254, 101, 33};
    for (int dpi : {96, 120, 144, 168, 192, 240}) {
        const DpiScale s(dpi);
        const Rect sa = s.Scale(a), sb = s.Scale(b), sbelow = s.Scale(below);
        EXPECT_EQ(sa.left + sa.width, sb.left) << dpi;
        EXPECT_EQ(sa.top + sa.height, sbelow.top) << dpi;
    }
    EXPECT_EQ(DpiScale(144).Scale(kPanelRect).width, 570);
}

TEST(DpiScale, EveryDevicePixelMapsBackIntoTheControlThatCoversIt) {
    // The hit test works on layout pixels: a pointer on any device pixel
    // of a scaled control must land in that control, and nowhere else.
    for (int dpi : {96, 110, 120, 144, 168, 192, 288}) {
        const DpiScale s(dpi);
        for (int layout = -20; layout < 600; ++layout) {
            const Rect r{layout, layout, 1, 1};
            const Rect scaled = s.Scale(r);
            for (int d = scaled.left; d < scaled.left + scaled.width; ++d) ASSERT_EQ(s.Unscale(d), layout) << dpi;
        }
    }
}

}  // namespace
}  // namespace ui
