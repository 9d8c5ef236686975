"""The window at 100 %, 150 % and 200 % scaling (Wine's LogPixels at 96,
144 and 192): laid out at the scale, its text rasterised at the scale
(as sharp as at 100 %, not a stretched bitmap), its controls answering
clicks at the scaled positions, and laid out again when the dpi changes.

The shots stay in build/windows/screenshots/dpi_*.png.
"""

import os
import subprocess
import unittest

import driver as d

# The product name on the quick-install page, in layout pixels: the page
# container's origin (30, 30) plus the label's rectangle.
NAME_LABEL = (32, 252, 376, 34)
CUSTOM_LINK = (220, 432)
QUICK_BUTTON = (220, 379)
BACK_LINK = (220, 452)


def grey(p):
    return (p[0] + p[1] + p[2]) / 3.0


def device_rect(rect):
    left, top, width, height = rect
    return d.at_scale(left), d.at_scale(top), d.at_scale(left + width) - d.at_scale(left), \
        d.at_scale(top + height) - d.at_scale(top)


def edge_contrast(pixels, width, height):
    """How steep the text's edges are: the mean of the steepest tenth of
    the steps between neighbouring pixels, among the steps that are
    edges at all. A stretched bitmap spreads every edge over more pixels
    and lowers it; text rasterised at the scale keeps it."""
    steps = []
    for y in range(height):
        for x in range(width):
            here = grey(pixels[y * width + x])
            if x + 1 < width:
                steps.append(abs(here - grey(pixels[y * width + x + 1])))
            if y + 1 < height:
                steps.append(abs(here - grey(pixels[(y + 1) * width + x])))
    edges = sorted((s for s in steps if s > 12), reverse=True)
    if not edges:
        return 0.0
    top = edges[:max(1, len(edges) // 10)]
    return sum(top) / len(top)


def ink_width(pixels, width, height):
    """The width of the columns that hold text (darker than the panel)."""
    columns = [x for x in range(width) if any(grey(pixels[y * width + x]) < 200 for y in range(height))]
    return columns[-1] - columns[0] + 1 if columns else 0


def label_pixels(shot):
    left, top, width, height = device_rect(NAME_LABEL)
    return [shot.device_pixel(x, y) for y in range(top, top + height) for x in range(left, left + width)], width, height


def stretched_pixels(path, percent, rect):
    """The label of a 100 % shot as the system would stretch it for a
    dpi-unaware window: the check's own proof that it sees blur."""
    left, top, width, height = rect
    out = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (width, height, left, top), "+repage",
                          "-filter", "Triangle", "-resize", "%d%%" % percent, "ppm:-"],
                         check=True, stdout=subprocess.PIPE).stdout
    w, h, data = d._parse_ppm(out)
    return [tuple(data[i:i + 3]) for i in range(0, w * h * 3, 3)], w, h


class ScaledWindow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        d.stop_programs()
        d.grey_desktop()

    @classmethod
    def tearDownClass(cls):
        d.stop_programs()
        d.set_dpi(96)

    def setUp(self):
        self.addCleanup(d.stop_programs)

    def show(self, dpi, *args):
        d.set_dpi(dpi)
        app = d.start_harness(*args)
        self.assertIsNotNone(app, "the window did not show at %d dpi" % dpi)
        state = d.window_state()
        self.assertEqual((state["x"], state["y"], state["w"], state["h"]),
                         (d.at_scale(50), d.at_scale(50), d.at_scale(440), d.at_scale(540)),
                         "the window is not laid out at %d dpi" % dpi)
        return app

    def test_text_is_as_sharp_at_150_and_200_percent_as_at_100(self):
        measured = {}
        for dpi in (96, 144, 192):
            with self.subTest(dpi=dpi):
                app = self.show(dpi)
                held, shot = d.expect_shot("dpi_%d" % dpi, d.is_quick_install_page)
                self.assertTrue(held, "the quick-install page is not drawn at %d dpi: %s" % (dpi, shot.path))
                pixels, width, height = label_pixels(shot)
                measured[dpi] = (edge_contrast(pixels, width, height), ink_width(pixels, width, height), shot.path)
                app.kill()
                d.stop_programs()
        base_contrast, base_width, base_path = measured[96]
        self.assertGreater(base_contrast, 60, "no text edges found at 100 %")
        for dpi in (144, 192):
            contrast, width, path = measured[dpi]
            scale = dpi / 96.0
            with self.subTest(dpi=dpi):
                self.assertGreaterEqual(contrast, 0.85 * base_contrast,
                                        "text at %d dpi is blurrier than at 96: %.1f against %.1f (%s)"
                                        % (dpi, contrast, base_contrast, path))
                self.assertAlmostEqual(width / base_width, scale, delta=0.08 * scale,
                                       msg="the name is not drawn at the scale: %d px against %d" % (width, base_width))
                # The same text stretched as a bitmap must fail the check.
                d.DPI = 96
                blurred = edge_contrast(*stretched_pixels(base_path, int(scale * 100), device_rect(NAME_LABEL)))
                d.DPI = dpi
                self.assertLess(blurred, 0.85 * base_contrast,
                                "the check does not see a stretched bitmap: %.1f against %.1f" % (blurred, base_contrast))

    def test_clicks_land_on_the_controls_at_their_scaled_places(self):
        for dpi in (144, 192):
            with self.subTest(dpi=dpi):
                app = self.show(dpi)
                d.click(*CUSTOM_LINK)
                self.assertEqual(app.read_line(), "event ShowCustomInstallPage 0")
                held, shot = d.expect_shot("dpi_%d_custom" % dpi, d.is_custom_install_page)
                self.assertTrue(held, "the custom page did not show at %d dpi: %s" % (dpi, shot.path))
                d.click(*BACK_LINK)
                held, shot = d.expect_shot("dpi_%d_back" % dpi, d.is_quick_install_page)
                self.assertTrue(held, "the back link did nothing at %d dpi: %s" % (dpi, shot.path))
                d.click(*QUICK_BUTTON)
                self.assertEqual(app.read_line(), "event QuickInstall 0")
                app.kill()
                d.stop_programs()

    def test_the_ring_and_its_label_scale_with_the_window(self):
        # Half way: the right half of the ring is filled, the left is track.
        app = self.show(192, "--page", "2", "--ring", "150", "--status", "正在下载主程序..")
        blue = lambda p: p[2] > 200 and p[0] < 120
        held, shot = d.expect_shot("dpi_192_installing", lambda s: blue(s.pixel(289, 255)))
        self.assertTrue(held, "the ring's fill is not where the scaled ring is: %s" % shot.path)
        self.assertFalse(blue(shot.pixel(151, 255)), "the ring's left half is filled at 50 %")
        # The label's text, drawn at the scale, sits inside the scaled ring.
        left, top, width, height = device_rect((169, 227, 102, 58))
        ink = [shot.device_pixel(x, y) for y in range(top, top + height) for x in range(left, left + width)]
        self.assertLess(min(grey(p) for p in ink), 160, "no percentage inside the ring")
        app.kill()

    def test_a_change_of_dpi_lays_the_window_out_again(self):
        # Shown at 96 dpi, then told it is on a 192-dpi monitor: laid out
        # for 192 where the system suggested, at the 96-dpi position.
        d.set_dpi(96)
        d.DPI = 192
        scaled_origin = d.window_origin
        d.window_origin = lambda: (50, 50)
        try:
            app = d.start_harness("--dpi-changed", "192")
            self.assertIsNotNone(app, "the window is not drawn at the new dpi")
            state = d.window_state()
            self.assertEqual((state["x"], state["y"], state["w"], state["h"]), (50, 50, 880, 1080))
            held, shot = d.expect_shot("dpi_changed_192", d.is_quick_install_page)
            self.assertTrue(held, "the page is not drawn at the new dpi: %s" % shot.path)
            d.click(*CUSTOM_LINK)
            self.assertEqual(app.read_line(), "event ShowCustomInstallPage 0")
        finally:
            d.window_origin = scaled_origin
            d.DPI = 96

if __name__ == "__main__":
    unittest.main()
