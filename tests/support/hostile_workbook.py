"""Writes the workbooks a shop may be sent that try a reader's limits, small on disk however large
they claim or unpack to. The tests and the benchmarks of the import make them when they run.

usage: hostile_workbook.py <kind> <workbook> [<number>]
  claimed <path>            a sheet whose zip directory claims 1 TiB
  styled <path> <rows>      customers, every row with an empty formatted cell in column XFD
  valued <path> <ref>       customers, with a value in the cell <ref> (XFD2, or a reference that
                            does not parse)
  bomb <path> <megabytes>   a sheet that unpacks to that many megabytes
  comment <path> <megabytes> a sheet with one comment of that many megabytes
  strings <path> <count>    that many shared strings
  shared <path> <rows>      customers as spreadsheets save them: every text listed once, shared
"""
import struct
import sys
import zlib

CONTENT_TYPES = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="xml" ContentType="application/xml"/></Types>'
)
WORKBOOK = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
    'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
    '<sheets><sheet name="顧客" sheetId="1" r:id="rId1"/></sheets></workbook>'
)
RELS = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" '
    'Target="worksheets/sheet1.xml"/></Relationships>'
)
STYLES = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
    '<fills count="3"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill>'
    '<fill><patternFill patternType="solid"><fgColor rgb="FFFFFF00"/></patternFill></fill></fills>'
    '<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="0" fillId="2" applyFill="1"/></cellXfs></styleSheet>'
)
SHEET_HEAD = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
)
HEADINGS = ["名前", "フリガナ", "郵便番号", "住所"]


def text_cell(ref, text):
    return f'<c r="{ref}" t="inlineStr"><is><t>{text}</t></is></c>'


def customer_row(r, extra=""):
    values = [f"顧客{r - 1}", "ｺｷｬｸ", "100-0001", f"東京都千代田区千代田{r}-1"] if r > 1 else HEADINGS
    return f'<row r="{r}">' + "".join(text_cell(f"{c}{r}", v) for c, v in zip("ABCD", values)) + extra + "</row>"


class Zip:
    """A zip written piece by piece, whose directory may claim another size than a part unpacks to."""

    def __init__(self, path):
        self.out = open(path, "wb")
        self.central = bytearray()
        self.count = 0

    def add(self, name, pieces, claimed=None):
        name_bytes = name.encode()
        offset = self.out.tell()
        # Bit 3: the sizes follow the data.
        self.out.write(struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 8, 8, 0, 0x21, 0, 0, 0, len(name_bytes), 0))
        self.out.write(name_bytes)
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        crc, size, packed = 0, 0, 0
        for piece in pieces:
            data = piece.encode() if isinstance(piece, str) else piece
            crc = zlib.crc32(data, crc)
            size += len(data)
            chunk = packer.compress(data)
            packed += len(chunk)
            self.out.write(chunk)
        chunk = packer.flush()
        packed += len(chunk)
        self.out.write(chunk)
        self.out.write(struct.pack("<IIII", 0x08074B50, crc, packed, size & 0xFFFFFFFF))
        stated = size if claimed is None else claimed
        extra = b""
        small = stated
        if stated >= 0xFFFFFFFF:
            extra = struct.pack("<HHQ", 1, 8, stated)
            small = 0xFFFFFFFF
        self.central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 45, 45, 8, 8, 0, 0x21, crc, packed, small,
                                    len(name_bytes), len(extra), 0, 0, 0, 0, offset) + name_bytes + extra
        self.count += 1

    def close(self):
        start = self.out.tell()
        self.out.write(self.central)
        self.out.write(struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, self.count, self.count, len(self.central), start, 0))
        self.out.close()


def write(path, sheet, strings=None, claimed=None):
    z = Zip(path)
    z.add("[Content_Types].xml", [CONTENT_TYPES])
    z.add("xl/workbook.xml", [WORKBOOK])
    z.add("xl/_rels/workbook.xml.rels", [RELS])
    z.add("xl/styles.xml", [STYLES])
    if strings is not None:
        z.add("xl/sharedStrings.xml", strings)
    z.add("xl/worksheets/sheet1.xml", sheet, claimed)
    z.close()


def styled(path, rows):
    def sheet():
        yield SHEET_HEAD
        for r in range(1, rows + 1):
            yield customer_row(r, f'<c r="XFD{r}" s="1"/>')
        yield "</sheetData></worksheet>"

    write(path, sheet())


def valued(path, ref):
    write(path, [SHEET_HEAD, customer_row(1), customer_row(2, text_cell(ref, "x")), "</sheetData></worksheet>"])


def bomb(path, megabytes):
    """The directory says 1 MB; the sheet unpacks to the megabytes asked for."""
    filler = '<ext uri="' + "A" * 1000 + '"/>'
    block = filler * 1000

    def sheet():
        yield SHEET_HEAD + customer_row(1) + customer_row(2) + "</sheetData><extLst>"
        for _ in range(megabytes * (1 << 20) // len(block) + 1):
            yield block
        yield "</extLst></worksheet>"

    write(path, sheet(), claimed=1 << 20)


def comment(path, megabytes):
    def sheet():
        yield SHEET_HEAD + customer_row(1) + "<!--"
        block = "x" * (1 << 20)
        for _ in range(megabytes):
            yield block
        yield "-->" + customer_row(2) + "</sheetData></worksheet>"

    write(path, sheet())


def strings(path, count):
    def part():
        yield '<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
        block = "<si><t/></si>" * 10000
        for _ in range(count // 10000):
            yield block
        yield "<si><t/></si>" * (count % 10000)
        yield "</sst>"

    write(path, [SHEET_HEAD, customer_row(1), customer_row(2), "</sheetData></worksheet>"], strings=part())


def shared(path, rows):
    """Rows of eleven fields, the texts in the shared strings as LibreOffice and Excel write them."""
    headings = ["名前", "フリガナ", "郵便番号", "都道府県", "住所", "建物", "電話番号", "携帯番号", "FAX番号",
                "メールアドレス", "備考"]
    columns = "ABCDEFGHIJK"

    def texts(r):
        if r == 1:
            return headings
        n = r - 1
        return [f"山田{n}郎", "ﾔﾏﾀﾞ ﾀﾛｳ", f"{100 + n % 900:03d}-{n % 10000:04d}", "東京都", f"千代田区千代田{n}-1",
                f"千代田ハイツ{n % 1000}", f"03-{n % 10000:04d}-{n // 10000:04d}", f"090-{n % 10000:04d}-0000",
                "", f"user{n}@example.jp", "取込"]

    def strings():
        yield '<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
        for r in range(1, rows + 1):
            yield "".join(f"<si><t>{t}</t></si>" for t in texts(r))
        yield "</sst>"

    def sheet():
        yield SHEET_HEAD
        index = 0
        for r in range(1, rows + 1):
            cells = []
            for c, t in zip(columns, texts(r)):
                if t:
                    cells.append(f'<c r="{c}{r}" t="s"><v>{index}</v></c>')
                index += 1
            yield f'<row r="{r}">' + "".join(cells) + "</row>"
        yield "</sheetData></worksheet>"

    write(path, sheet(), strings=strings())


def claimed(path):
    write(path, [SHEET_HEAD, customer_row(1), "</sheetData></worksheet>"], claimed=1 << 40)


def main():
    kind, path = sys.argv[1], sys.argv[2]
    number = sys.argv[3] if len(sys.argv) > 3 else None
    if kind == "claimed":
        claimed(path)
    elif kind == "styled":
        styled(path, int(number))
    elif kind == "valued":
        valued(path, number)
    elif kind == "bomb":
        bomb(path, int(number))
    elif kind == "comment":
        comment(path, int(number))
    elif kind == "strings":
        strings(path, int(number))
    elif kind == "shared":
        shared(path, int(number))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
