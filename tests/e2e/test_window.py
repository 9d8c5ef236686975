"""The installer's window under Wine and Xvfb, driven as a person would.

The real installer shows page 0 and answers its exit button and a second
start; the other pages are shown by the UI harness, which uses the same
toolkit, form and window handlers.
"""

import os
import unittest

import driver as d

BLUE = d.hex_rgb("398DFF")
WHITE = (255, 255, 255)
EXIT_CENTRE = (383, 57)
CUSTOM_LINK = (220, 432)
QUICK_BUTTON = (220, 379)


def stop_all():
    d.stop_programs()


def darkest(shot, left, top, width, height):
    return min(sum(p) // 3 for p in shot.region(left, top, width, height))


class InstallerWindow(unittest.TestCase):
    def setUp(self):
        stop_all()
        # A current manifest: the installer passes its version check and waits.
        self.server = d.TestServer(os.path.join(d.BUILD, "e2e-state", "window-www"))
        # Cleanups run even when setUp fails half-way; last added runs first.
        self.addCleanup(self.server.stop)
        self.addCleanup(stop_all)
        self.server.write("qrn/azq.txt", d.manifest("V11"))
        d.grey_desktop()
        self.app = d.Program(d.exe("installer.exe"))
        self.assertIsNotNone(d.wait_for_window(), "the installer's window did not show")

    def test_quick_install_page_at_start(self):
        d.move_to(-40, -40)  # the pointer away from the window

        def checks(shot):
            near, far = shot.pixel(27, 270), shot.pixel(14, 270)
            badge, cross = shot.pixel(175, 200), shot.pixel(*EXIT_CENTRE)
            return [
                # The white panel with its rounded corners on the grey desktop.
                ("panel", shot.pixel(40, 480) == WHITE and shot.pixel(200, 60) == WHITE),
                ("beyond the shadow", shot.pixel(5, 5) == (128, 128, 128)),
                ("shadowed corner outside the curve", shot.pixel(31, 31)[0] < 128),
                # The shadow darkens towards the panel and stays soft (alpha 36 at most).
                ("shadow ramp %s %s" % (near, far), near[0] < far[0] and near[0] >= 105 and far[0] <= 128),
                # The logo, the blue button, the name in grey, and the exit cross.
                ("logo badge %s" % (badge,), badge[2] > 200 and badge[0] < 120 and shot.pixel(220, 184) == WHITE),
                ("button %s" % (shot.pixel(120, 379),), d.button_not_hovered(shot)),
                ("bold grey name", darkest(shot, 32, 252, 376, 34) < 140),
                ("light grey cross %s" % (cross,), 200 <= cross[0] < 255),
                # Nothing of the other pages: no banner, no ring, no run button.
                ("no other page", shot.pixel(40, 100) == WHITE and shot.pixel(220, 182) == WHITE),
            ]

        # The compositor may still be settling the first frames: wait for
        # the page as designed, then report what does not match.
        held, shot = d.expect_shot("page0_quick_install", lambda s: all(ok for _, ok in checks(s)))
        self.assertTrue(held, "not as designed: %s" % [what for what, ok in checks(shot) if not ok])

    def test_link_turns_black_under_the_pointer_and_grey_again(self):
        d.move_to(*CUSTOM_LINK)
        held, over = d.expect_shot("page0_link_hover", lambda s: darkest(s, 180, 420, 80, 25) < 40)
        self.assertTrue(held, "the link did not turn black: darkest %d" % darkest(over, 180, 420, 80, 25))
        d.move_to(220, 480)
        held, off = d.expect_shot("page0_link_off", lambda s: darkest(s, 180, 420, 80, 25) > 90)
        self.assertTrue(held, "the link did not turn grey again: darkest %d" % darkest(off, 180, 420, 80, 25))

    def test_button_hover_image(self):
        d.move_to(*QUICK_BUTTON)
        held, shot = d.expect_shot("page0_button_hover",
                                   lambda s: d.close_to(s.pixel(120, 379), d.hex_rgb("39A4FF"), 12))
        self.assertTrue(held, shot.pixel(120, 379))

    def test_exit_question_cancel_keeps_everything_then_ok_ends_with_0(self):
        d.move_to(-40, -40)
        held, before = d.expect_shot("exit_before", d.button_not_hovered)
        self.assertTrue(held, before.pixel(120, 379))
        d.click(*EXIT_CENTRE)
        self.assertEqual(d.answer_box("提示", "cancel"), "您确定现在退出安装吗？")
        self.assertFalse(d.wait_for(lambda: not self.app.running(), timeout=1), "it ended after a cancel")
        d.move_to(-40, -40)
        same = lambda s: s.pixel(220, 270) == before.pixel(220, 270) and s.pixel(120, 379) == before.pixel(120, 379)
        held, after = d.expect_shot("exit_after_cancel", same)
        self.assertTrue(held, "the page changed: %s %s against %s %s" % (
            after.pixel(220, 270), after.pixel(120, 379), before.pixel(220, 270), before.pixel(120, 379)))

        d.click(*EXIT_CENTRE)
        self.assertEqual(d.answer_box("提示", "ok"), "您确定现在退出安装吗？")
        self.assertEqual(self.app.wait(), 0)

    def test_the_keyboard_alone_reaches_the_pages_and_the_exit_question(self):
        d.move_to(-40, -40)
        ring_at = (107, 379)  # just left of the quick-install button
        held, before = d.expect_shot("keyboard_before", d.button_not_hovered)
        self.assertTrue(held)
        self.assertEqual(before.pixel(*ring_at), WHITE)
        d.key("Tab")  # the quick-install button, with a visible focus ring
        bluish = lambda s: s.pixel(*ring_at)[2] > s.pixel(*ring_at)[0] + 40
        held, shot = d.expect_shot("keyboard_focus_ring", bluish)
        self.assertTrue(held, "no focus ring: %s" % (shot.pixel(*ring_at),))
        d.key("Tab")     # the custom-install link
        d.key("Return")  # opens its page
        held, shot = d.expect_shot("keyboard_custom_page", d.is_custom_install_page)
        self.assertTrue(held, "Enter on the link did not open the custom-install page")
        d.key("Escape")
        self.assertEqual(d.answer_box("提示", "cancel"), "您确定现在退出安装吗？")
        self.assertTrue(self.app.running())
        d.key("Escape")
        self.assertEqual(d.answer_box("提示", "ok"), "您确定现在退出安装吗？")
        self.assertEqual(self.app.wait(), 0)

    def test_a_close_request_asks_like_the_exit_button(self):
        d.wintool("close", d.WINDOW_CLASS)
        self.assertEqual(d.answer_box("提示", "ok"), "您确定现在退出安装吗？")
        self.assertEqual(self.app.wait(), 0)

    def test_second_copy_is_refused_and_brings_the_first_back(self):
        self.assertEqual(d.wintool("minimize", d.WINDOW_CLASS)[0], 0)
        self.assertTrue(d.wait_for(lambda: d.window_state()["iconic"] == 1), "not minimised")

        second = d.Program(d.exe("installer.exe"))
        self.assertEqual(d.answer_box("友情提醒:", "ok"), "请勿重复运行本程序，如程序未响应请尝试重启电脑！")
        self.assertEqual(second.wait(), 0)
        self.assertTrue(d.no_box("友情提醒:", 1000), "more than one message box")
        self.assertTrue(self.app.running())
        state = d.wait_for(lambda: (lambda st: st if st["iconic"] == 0 and st["visible"] == 1 else None)(
            d.window_state()))
        self.assertIsNotNone(state, "the first copy was not brought back: %s" % d.window_state())
        self.assertEqual(d.wintool("count", d.WINDOW_CLASS)[1], "1")


class HarnessPages(unittest.TestCase):
    """Pages 1 to 3 drawn by the real toolkit in the UI harness."""

    def tearDown(self):
        if getattr(self, "app", None):
            self.app.kill()
        stop_all()

    def show(self, *args):
        stop_all()
        d.grey_desktop()
        self.app = d.start_harness(*args)
        self.assertIsNotNone(self.app, "the harness did not come up")
        d.move_to(-40, -40)

    def test_custom_install_page_banner_under_the_exit_button(self):
        self.show("--page", "1")
        held, shot = d.expect_shot("page1_custom_install",
                                   lambda s: d.close_to(s.pixel(160, 393), BLUE, 12) and d.is_custom_install_page(s))
        self.assertTrue(held, "%s %s" % (shot.pixel(40, 100), shot.pixel(160, 393)))
        banner = shot.pixel(40, 100)
        self.assertTrue(d.close_to(banner, BLUE, 12), banner)        # opacity 245 over white
        self.assertEqual(shot.pixel(40, 260), WHITE)                  # below the banner's 226 pixels
        cross = shot.pixel(*EXIT_CENTRE)
        self.assertGreater(cross[0], 200)                             # the cross drawn over the banner
        self.assertTrue(d.close_to(shot.pixel(373, 47), BLUE, 30))   # blue around it
        self.assertTrue(d.close_to(shot.pixel(160, 393), BLUE, 30))  # the install button
        folder_box = shot.pixel(110, 330)
        self.assertTrue(d.close_to(folder_box, d.hex_rgb("EBF3FF"), 6), folder_box)

    def test_back_link_returns_to_the_quick_install_page(self):
        self.show()
        d.click(*CUSTOM_LINK)
        self.assertEqual(self.app.read_line(), "event ShowCustomInstallPage 0")
        held, page1 = d.expect_shot("page1_after_link", d.is_custom_install_page)
        self.assertTrue(held, page1.pixel(40, 100))
        d.move_to(220, 452)
        held, hover = d.expect_shot("page1_back_link_hover", lambda s: darkest(s, 160, 440, 120, 24) < 40)
        self.assertTrue(held, darkest(hover, 160, 440, 120, 24))
        d.click(220, 452)
        d.move_to(-40, -40)
        held, back = d.expect_shot("page0_after_back_link",
                                   lambda s: s.pixel(40, 100) == WHITE and d.button_not_hovered(s))
        self.assertTrue(held, "%s %s" % (back.pixel(40, 100), back.pixel(120, 379)))
        # Returning shows the link grey again: its highlight went with its page.
        self.assertGreater(darkest(back, 180, 420, 80, 25), 90)

    def test_install_page_ring_half_and_full(self):
        self.show("--page", "2", "--ring", "150", "--status", "正在安装中，请耐心等待...")
        held, half = d.expect_shot("page2_ring_150", lambda s: d.close_to(s.pixel(290, 255), d.hex_rgb("3A9FFF"), 40))
        right, left = half.pixel(145 + 145, 255), half.pixel(145 + 5, 255)
        self.assertTrue(d.close_to(right, d.hex_rgb("3A9FFF"), 40), right)   # filled clockwise from the top
        self.assertEqual(left, WHITE)                                          # not yet
        self.assertLess(darkest(half, 169, 227, 102, 58), 160)                # "50%" in the centre
        self.app.kill()

        self.show("--page", "2", "--ring", "300")
        held, full = d.expect_shot("page2_ring_300", lambda s: d.close_to(s.pixel(150, 255), d.hex_rgb("3A9FFF"), 40))
        self.assertTrue(d.close_to(full.pixel(145 + 5, 255), d.hex_rgb("3A9FFF"), 40))
        self.assertTrue(d.close_to(full.pixel(220, 182), d.hex_rgb("4AA9FF"), 40))

    def test_finish_page(self):
        self.show("--page", "3")
        held, shot = d.expect_shot("page3_finished", d.is_finish_page)
        check_blue = d.hex_rgb("3B98FF")
        self.assertTrue(d.close_to(shot.pixel(217, 174), check_blue, 40), shot.pixel(217, 174))  # the circle
        self.assertTrue(d.close_to(shot.pixel(210, 249), check_blue, 40), shot.pixel(210, 249))  # the tick
        self.assertEqual(shot.pixel(217, 200), WHITE)
        self.assertTrue(d.close_to(shot.pixel(133, 375), BLUE, 30))   # the run button
        self.assertEqual(shot.pixel(120, 379 + 30), WHITE)             # no quick-install button

    def test_disabled_exit_button_answers_nothing(self):
        self.show("--page", "2", "--exit-disabled")
        d.click(*EXIT_CENTRE)
        self.assertTrue(d.no_box("提示", 1000))
        d.wintool("close", d.WINDOW_CLASS)  # nor does a close request
        self.assertTrue(d.no_box("提示", 1000))
        self.assertTrue(self.app.running())


if __name__ == "__main__":
    unittest.main()
