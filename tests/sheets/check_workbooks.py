"""Reads the sample workbooks with openpyxl, a reader unrelated to the writer, and checks
them cell by cell, and checks the XML parts against the schema's element order.

usage: check_workbooks.py <qel_sheets_samples> <folder with the templates>
"""
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile
from datetime import datetime
from pathlib import Path

import openpyxl

SAMPLES, TEMPLATES = sys.argv[1], sys.argv[2]
OUT = Path(tempfile.mkdtemp(prefix="qel_sheets_"))

WORKSHEET_ORDER = [
    "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData", "sheetCalcPr",
    "sheetProtection", "protectedRanges", "scenarios", "autoFilter", "sortState", "dataConsolidate",
    "customSheetViews", "mergeCells", "phoneticPr", "conditionalFormatting", "dataValidations",
    "hyperlinks", "printOptions", "pageMargins", "pageSetup", "headerFooter", "rowBreaks", "colBreaks",
    "customProperties", "cellWatches", "ignoredErrors", "smartTags", "drawing", "legacyDrawing",
    "legacyDrawingHF", "picture", "oleObjects", "controls", "webPublishItems", "tableParts", "extLst"]
STYLES_ORDER = ["numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                "tableStyles", "colors", "extLst"]
BORDER_ORDER = ["left", "right", "top", "bottom", "diagonal", "vertical", "horizontal"]
CUSTOMER = "顧客一覧.xlsx"
ERA = "期間指定売上明細.xlsx"
WESTERN = "購入者別売上明細.xlsx"


def setUpModule():
    # An old file in the target's place is replaced.
    (OUT / CUSTOMER).write_bytes(b"not a workbook")
    subprocess.run([SAMPLES, TEMPLATES, str(OUT)], check=True)


def tearDownModule():
    shutil.rmtree(OUT, ignore_errors=True)


def sheet(name):
    return openpyxl.load_workbook(OUT / name).worksheets[0]


def children(xml, parent):
    body = re.search(r"<%s\b[^>]*>(.*)</%s>" % (parent, parent), xml, re.S).group(1)
    names, depth = [], 0
    for m in re.finditer(r"<(/?)([A-Za-z:]+)[^>]*?(/?)>", body):
        closing, name, empty = m.groups()
        if closing:
            depth -= 1
        else:
            if depth == 0:
                names.append(name)
            if not empty:
                depth += 1
    return names


class CustomerList(unittest.TestCase):
    def test_blocks_hold_the_values_with_their_types(self):
        ws = sheet(CUSTOMER)
        self.assertEqual(ws.title, "顧客一覧")
        self.assertEqual([ws.cell(3 * i + 1, 1).value for i in (1, 2, 3)], [1, 2, 3])
        self.assertIsInstance(ws["A4"].value, int)
        self.assertEqual(ws["B4"].value, "ﾔﾏﾀﾞ ﾀﾛｳ1")
        self.assertEqual(ws["C4"].value, "〒100-0001")
        self.assertEqual(ws["B8"].value, " 佐藤 花子 ")  # stored values are not trimmed
        self.assertEqual(ws["F5"].value + ws["F6"].value, "一二三四五六七八九十壱弐参四五六七八九十")
        self.assertIsNone(ws["D4"].value)
        self.assertEqual(ws.max_row, 12)

    def test_control_characters_and_long_texts_survive(self):
        ws = sheet(CUSTOMER)
        self.assertEqual(ws["B11"].value, "前中後終")
        self.assertEqual(ws["D12"].value, "あ" * 32767)
        self.assertEqual(ws["E12"].value, "03-1111-0003")  # the row goes on after the long text
        with zipfile.ZipFile(OUT / CUSTOMER) as z:
            data = z.read("xl/worksheets/sheet1.xml")
        data.decode("utf-8")  # valid UTF-8 throughout
        self.assertIsNone(re.search(rb"[\x00-\x08\x0b\x0c\x0e-\x1f]", data))

    def test_every_block_is_lined_at_each_column_and_under_its_last_row(self):
        ws = sheet(CUSTOMER)
        for block in range(3):
            r = 4 + 3 * block
            for row in range(r, r + 3):
                for col in range(1, 7):
                    b = ws.cell(row, col).border
                    where = "row %d col %d" % (row, col)
                    self.assertEqual(b.left.style, "thin", where)
                    self.assertEqual(b.right.style, "thin", where)
                    self.assertIsNone(b.top.style, where)
                    self.assertEqual(b.bottom.style, "thin" if row == r + 2 else None, where)

    def test_template_rows_header_and_print_titles(self):
        ws = sheet(CUSTOMER)
        template = openpyxl.load_workbook(Path(TEMPLATES) / "顧客一覧オリジナル.xlsx").worksheets[0]
        for row in range(1, 4):
            for col in range(1, 7):
                self.assertEqual(ws.cell(row, col).value, template.cell(row, col).value)
                self.assertEqual(ws.cell(row, col).font.b, template.cell(row, col).font.b)
        self.assertEqual(ws["A1"].value, "顧客一覧")
        self.assertEqual(ws.print_title_rows, "$1:$3")
        self.assertEqual(ws.oddHeader.center.text, "顧客一覧")
        for col in "ABCDEF":
            self.assertAlmostEqual(ws.column_dimensions[col].width, template.column_dimensions[col].width)
        self.assertEqual(int(ws.page_setup.paperSize), 9)
        self.assertEqual(ws.sheet_view.selection[0].activeCell, "A1")
        self.assertEqual(ws.sheet_view.topLeftCell, "A1")


class SalesDetail(unittest.TestCase):
    def test_layout_values_and_grand_total(self):
        for name in (ERA, WESTERN):
            ws = sheet(name)
            self.assertEqual(ws["C1"].value, "メーカー名")
            self.assertEqual(ws["C2"].value, "商品名")
            for cell, text in (("B1", "購入日"), ("D1", "購入者"), ("D2", "備考"), ("E1", "売価"), ("E2", "定価"),
                               ("F1", "数量"), ("G1", "売価合計")):
                self.assertEqual(ws[cell].value, text, cell)
            self.assertEqual(ws["B3"].value, datetime(2005, 5, 18))
            self.assertEqual(ws["B7"].value, datetime(2019, 5, 1))
            self.assertEqual(ws["E3"].value, 15000)
            self.assertEqual(ws["G7"].value, 135000)
            self.assertEqual(ws["D6"].value, "前中後終")
            self.assertEqual(ws["F9"].value, "売価総合計")
            self.assertEqual(ws["G9"].value, 210000)
            self.assertIn("#,##0", ws["G9"].number_format)
            self.assertEqual(ws.print_title_rows, "$1:$2")
            for row in (3, 4):
                for col in range(1, 8):
                    b = ws.cell(row, col).border
                    self.assertEqual((b.left.style, b.right.style, b.top.style, b.bottom.style),
                                     ("thin", "thin", None, "thin" if row == 4 else None))
            for col in (6, 7):
                self.assertEqual(ws.cell(9, col).border.bottom.style, "thin")

    def test_column_b_format_and_headers_by_mode(self):
        era, western = sheet(ERA), sheet(WESTERN)
        self.assertEqual(era["B3"].number_format, "[$-411]ge.m.d")
        self.assertEqual(western["B3"].number_format, "yyyy/m/d")
        self.assertEqual(era.title, "期間指定売上明細")
        self.assertEqual(western.title, "購入者別売上明細")
        self.assertFalse(era.oddHeader.left.text)
        self.assertEqual(era.oddHeader.center.text, "期間指定　売上明細")
        self.assertEqual(era.oddHeader.right.text, "期間:平成17年5月～平成17年6月")
        # openpyxl shows the header codes as stored: "&&" is one ampersand on paper.
        self.assertEqual(western.oddHeader.left.text, "購入者:山田　太郎 && 息子")
        self.assertEqual(western.oddHeader.center.text, "購入者別 売上明細")


class PartsFollowTheSchema(unittest.TestCase):
    def test_element_order_dimension_and_cell_references(self):
        for name in (CUSTOMER, ERA, WESTERN):
            with zipfile.ZipFile(OUT / name) as z:
                self.assertIsNone(z.testzip())
                sheet_xml = z.read("xl/worksheets/sheet1.xml").decode()
                styles_xml = z.read("xl/styles.xml").decode()
            order = [WORKSHEET_ORDER.index(n) for n in children(sheet_xml, "worksheet")]
            self.assertEqual(order, sorted(order), name)
            order = [STYLES_ORDER.index(n) for n in children(styles_xml, "styleSheet")]
            self.assertEqual(order, sorted(order), name)
            for border in re.findall(r"<border\b[^>]*?(?:/>|>.*?</border>)", styles_xml):
                sides = [BORDER_ORDER.index(s) for s in re.findall(r"<(left|right|top|bottom|diagonal|vertical|horizontal)\b", border)]
                self.assertEqual(sides, sorted(sides), border)
            cells = re.findall(r"<c\b([^>]*)", sheet_xml)
            self.assertTrue(all(' r="' in c for c in cells))
            refs = [re.search(r' r="([A-Z]+)(\d+)"', c).groups() for c in cells]
            rows = [int(r) for _, r in refs]
            cols = [openpyxl.utils.column_index_from_string(c) for c, _ in refs]
            dimension = re.search(r'<dimension ref="([^"]+)"', sheet_xml).group(1)
            expected = "%s%d:%s%d" % (openpyxl.utils.get_column_letter(min(cols)), min(rows),
                                      openpyxl.utils.get_column_letter(max(cols)), max(rows))
            self.assertEqual(dimension, expected, name)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=1)
