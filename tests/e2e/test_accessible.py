"""The window as a screen reader sees it under Wine: the accessible tree
that AccessibleObjectFromWindow gives on each page, the events raised
while a person moves through it, and clicks through accDoDefaultAction.
The trees stay in build/windows/screenshots/accessible-trees.txt.
"""

import os
import unittest

import driver as d

CLIENT = 'client "LOL Quenra助手" [focused, focusable]'
NAME = '  static text "LOL Quenra助手" [read only]'
CLOSE = '  push button "关闭" [focusable] action="按下"'
PAGES = [
    ("quick install", (), [
        CLIENT, NAME,
        '  push button "快速安装" [focusable] action="按下"',
        '  link "自定义安装" [focusable, linked] action="跳转"',
        CLOSE]),
    ("custom install", ("--page", "1", "--folder", "D:\\游戏\\TaVoli"), [
        CLIENT, NAME,
        '  static text "目录" [read only]',
        '  editable text "目录" value="D:\\游戏\\TaVoli" [focusable]',
        '  push button "浏览" [focusable] action="按下"',
        '  push button "安装" [focusable] action="按下"',
        '  link "<返回快速安装" [focusable, linked] action="跳转"',
        CLOSE]),
    ("installing", ("--page", "2", "--ring", "126", "--status", "正在下载主程序..", "--exit-disabled"), [
        CLIENT, NAME,
        '  progress bar "安装进度" value="42%" [read only]',
        '  static text "正在下载主程序.." [read only]',
        '  push button "关闭" [unavailable] action="按下"']),
    ("finished", ("--page", "3"), [
        CLIENT, NAME,
        '  push button "运 行" [focusable] action="按下"',
        CLOSE]),
]


class ScreenReader(unittest.TestCase):
    def setUp(self):
        d.stop_programs()
        self.addCleanup(d.stop_programs)

    def show(self, *args):
        app = d.start_harness(*args)
        self.assertIsNotNone(app, "the harness did not come up")
        return app

    def tree(self):
        code, out = d.acctool("tree", d.WINDOW_CLASS)
        self.assertEqual(code, 0, "no accessible object: %s" % out)
        return out.split("\n")

    def test_each_page_names_its_controls_with_roles_values_and_states(self):
        os.makedirs(d.SHOTS, exist_ok=True)
        with open(os.path.join(d.SHOTS, "accessible-trees.txt"), "w", encoding="utf-8") as record:
            for page, args, expected in PAGES:
                with self.subTest(page=page):
                    self.show(*args)
                    tree = self.tree()
                    record.write("# %s\n%s\n\n" % (page, "\n".join(tree)))
                    self.assertEqual(tree, expected)
                    d.stop_programs()

    def test_the_reader_follows_the_keyboard_focus_and_the_page(self):
        self.show()
        events = d.Program(d.exe("acctool.exe"), "events", d.WINDOW_CLASS, "8000")
        self.assertEqual(events.read_line(30), "listening")
        d.key("Tab")
        d.key("Tab")
        tree = self.tree()
        self.assertIn('  link "自定义安装" [focused, focusable, linked] action="跳转"', tree)
        d.key("Return")  # the link: the custom page comes
        heard = []
        line = events.read_line(20)
        while line is not None and line != "reorder 0":
            heard.append(line)
            line = events.read_line(20)
        self.assertEqual(heard, ["focus 2", "focus 3"], "focus events for the button, then the link")
        self.assertEqual(line, "reorder 0", "no event for the page change")
        self.assertIn('  push button "安装" [focusable] action="按下"', self.tree())

    def test_the_default_action_clicks_and_an_unavailable_control_refuses_it(self):
        app = self.show("--exit-disabled")
        code, out = d.acctool("do", d.WINDOW_CLASS, "关闭")
        self.assertEqual(code, 4, "the disabled exit took the action: %s" % out)
        self.assertTrue(d.no_box("提示", 800), "the exit question came")
        code, out = d.acctool("do", d.WINDOW_CLASS, "快速安装")
        self.assertEqual(code, 0, out)
        self.assertEqual(app.read_line(), "event QuickInstall 0")
        code, _ = d.acctool("do", d.WINDOW_CLASS, "no such control")
        self.assertEqual(code, 3)


if __name__ == "__main__":
    unittest.main()
