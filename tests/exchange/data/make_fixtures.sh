#!/usr/bin/env bash
# Regenerates the workbook fixtures with writers independent of Quarbel. Needs the Debian
# packages libspreadsheet-writeexcel-perl, python3-xlwt, python3-xlsxwriter and node with npm
# (for the BIFF5 file, `npm install xlsx@0.18.5` in a scratch folder named by SHEETJS).
# Each NAME.EXT comes with NAME.tsv: the expected cell texts, one line a row, columns A..C.
set -euo pipefail
cd "$(dirname "$0")"

perl - <<'PERL'
use strict;
use warnings;
use utf8;
use Spreadsheet::WriteExcel;

sub tsv {
    my ($name, @rows) = @_;
    open my $fh, '>:encoding(UTF-8)', $name or die;
    print $fh join("\t", map { $_ // '' } @$_[0 .. 2]), "\n" for @rows;
    close $fh;
}

# Formulas with cached results of every kind, numbers, dates and text.
my $book = Spreadsheet::WriteExcel->new('formulas.xls');
my $sheet = $book->add_worksheet();
my $date = $book->add_format(num_format => 'yyyy-mm-dd');
$sheet->write_number(0, 0, 1);
$sheet->write_number(1, 0, 2.5);
$sheet->write_formula(2, 0, '=A1+A2', undef, 3.5);
$sheet->write_formula(3, 0, '=A1/3', undef, '0.3333333333333333');
$sheet->write_formula(4, 0, '=1/0', undef, '#DIV/0!');
$sheet->write_string(0, 1, '文本');
$sheet->write_formula(1, 1, '="ab"&"c"', undef, 'abc');
$sheet->write_formula(2, 1, '=A1>0', undef, 'TRUE');
$sheet->write_string(3, 1, '  spaced  ');
$sheet->write_number(4, 1, 1e-7);
$sheet->write_date_time(0, 2, '2023-01-01T', $date);
$sheet->write_number(5, 2, 123456789012345678);
$book->close();
tsv('formulas.tsv', ['1', '文本', '44927'], ['2.5', 'abc', ''], ['3.5', 'TRUE', ''],
    ['0.333333333333333', '  spaced  ', ''], ['', '0.0000001', ''], ['', '', '123456789012346000']);

# A shared-string table far larger than one record, with strings that straddle records.
$book = Spreadsheet::WriteExcel->new('continue_sst.xls');
$sheet = $book->add_worksheet();
my @rows;
for my $i (0 .. 599) {
    my $a = "行$i " . ('中文' x ($i % 7));
    my $b = ($i % 150 == 0) ? ("长" x 3000) . "尾$i" : "ascii $i";
    $sheet->write_string($i, 0, $a);
    $sheet->write_string($i, 1, $b);
    push @rows, [$a, $b, ''];
}
$book->close();
tsv('continue_sst.tsv', @rows);
PERL

"${PYTHON:-/usr/bin/python3}" - <<'PY'
import datetime, zipfile
import xlwt, xlsxwriter

def tsv(name, rows):
    with open(name, 'w', encoding='utf-8') as f:
        for r in rows:
            f.write('\t'.join((list(r) + ['', '', ''])[:3]) + '\n')

# Small integers and two-decimal values as RK records, booleans, a number that needs 8 bytes.
book = xlwt.Workbook()
sheet = book.add_sheet('Data')
for r, v in enumerate([1, -7, 12.34, 1234567.5, True, 0.1]):
    sheet.write(r, 0, v)
sheet.write(2, 1, 'x')
sheet.write(7, 2, 'last')
book.save('rk_boolerr.xls')
tsv('rk_boolerr.tsv', [['1'], ['-7'], ['12.34', 'x'], ['1234567.5'], ['TRUE'], ['0.1'], [],
                       ['', '', 'last']])

# Shared strings (rich runs too), a cached formula string, a date and booleans.
book = xlsxwriter.Workbook('shared_strings.xlsx')
sheet = book.add_worksheet()
bold = book.add_format({'bold': True})
dates = book.add_format({'num_format': 'yyyy-mm-dd hh:mm'})
sheet.write_number('A1', 1)
sheet.write_number('A2', 2.5)
sheet.write_formula('A3', '=A1+A2', None, 3.5)
sheet.write_rich_string('A4', bold, '粗体', 'normal')
sheet.write_boolean('A5', True)
sheet.write_string('B1', '文本')
sheet.write_datetime('B2', datetime.datetime(2023, 1, 1, 12, 0), dates)
sheet.write_formula('B3', '="ab"&"c"', None, 'abc')
sheet.write_string('C9', '稀疏')
book.close()
tsv('shared_strings.tsv', [['1', '文本'], ['2.5', '44927.5'], ['3.5', 'abc'], ['粗体normal'],
                           ['TRUE'], [], [], [], ['', '', '稀疏']])

# Inline strings: the writer's constant-memory mode does not build a shared-string table.
book = xlsxwriter.Workbook('inline_strings.xlsx', {'constant_memory': True})
sheet = book.add_worksheet()
for r in range(20):
    sheet.write_string(r, 0, '内联%d' % r)
    sheet.write_number(r, 1, r / 4)
book.close()
tsv('inline_strings.tsv', [['内联%d' % r, ('%g' % (r / 4))] for r in range(20)])

# Written by hand: an absolute workbook target and relative "../" targets, a chart sheet
# listed first, rows and cells without references, phonetic runs, escapes, a date cell, an
# error cell and a dimension that understates the used range.
ns = 'http://schemas.openxmlformats.org/'
rel = ns + 'officeDocument/2006/relationships'
parts = {
    '[Content_Types].xml': '<?xml version="1.0"?><Types xmlns="%spackage/2006/content-types"/>' % ns,
    '_rels/.rels': '<?xml version="1.0"?><Relationships xmlns="%spackage/2006/relationships">'
        '<Relationship Id="rId1" Type="%s/officeDocument" Target="/book/main.xml"/>'
        '</Relationships>' % (ns, rel),
    'book/_rels/main.xml.rels': '<?xml version="1.0"?><Relationships xmlns="%spackage/2006/relationships">'
        '<Relationship Id="c1" Type="%s/chartsheet" Target="../charts/c.xml"/>'
        '<Relationship Id="s1" Type="%s/worksheet" Target="../sheets/first.xml"/>'
        '<Relationship Id="s2" Type="%s/worksheet" Target="../sheets/second.xml"/>'
        '<Relationship Id="t" Type="%s/sharedStrings" Target="strings.xml"/>'
        '</Relationships>' % (ns, rel, rel, rel, rel),
    'book/main.xml': '<?xml version="1.0"?><workbook xmlns="%sspreadsheetml/2006/main" xmlns:r="%s">'
        '<sheets><sheet name="Chart" sheetId="3" r:id="c1"/><sheet name="One" sheetId="1" r:id="s1"/>'
        '<sheet name="Two" sheetId="2" r:id="s2"/></sheets></workbook>' % (ns, rel),
    'book/strings.xml': '<?xml version="1.0"?><sst xmlns="%sspreadsheetml/2006/main">'
        '<si><t>漢字</t><rPh sb="0" eb="2"><t>かんじ</t></rPh></si>'
        '<si><r><t>a</t></r><r><rPr><b/></rPr><t xml:space="preserve"> b </t></r></si>'
        '<si><t>line_x000D_end</t></si></sst>' % ns,
    'charts/c.xml': '<?xml version="1.0"?><chartsheet/>',
    'sheets/second.xml': '<?xml version="1.0"?><worksheet xmlns="%sspreadsheetml/2006/main">'
        '<sheetData><row r="1"><c r="A1"><v>999</v></c></row></sheetData></worksheet>' % ns,
    'sheets/first.xml': '<?xml version="1.0"?><worksheet xmlns="%sspreadsheetml/2006/main">'
        '<dimension ref="A1:B2"/><sheetData>'
        '<row><c t="s"><v>0</v></c><c t="s"><v>1</v></c><c t="s"><v>2</v></c></row>'
        '<row><c><v>1.50</v></c><c t="inlineStr"><is><t>内联</t><rPh><t>x</t></rPh></is></c></row>'
        '<row r="5"><c r="B5" t="e"><v>#N/A</v></c><c r="C5" t="d"><v>2023-01-02T06:00:00</v></c></row>'
        '<row r="7"><c r="A7" t="b"><v>0</v></c><c r="D7"><v>5</v></c></row>'
        '<row r="12"><c r="E12"><v>1</v></c></row>'
        '</sheetData></worksheet>' % ns,
}
with zipfile.ZipFile('handmade.xlsx', 'w', zipfile.ZIP_DEFLATED) as z:
    for name, text in parts.items():
        z.writestr(name, text)
tsv('handmade.tsv', [['漢字', 'a b ', 'line\rend'], ['1.5', '内联'], [], [], ['', '', '44928.25'],
                     [], ['FALSE'], [], [], [], [], []])
PY

# BIFF5: byte strings in the workbook's code page, in a "Book" stream.
node - <<'JS'
const X = require(process.env.SHEETJS + '/node_modules/xlsx');
const fs = require('fs');
const sheet = X.utils.aoa_to_sheet([[1, 'cafe'], [2.5, -3], ['abc', null], [true, 0.001]]);
const book = X.utils.book_new();
X.utils.book_append_sheet(book, sheet, 'Data');
X.writeFile(book, 'biff5.xls', {bookType: 'biff5'});
fs.writeFileSync('biff5.tsv', '1\tcafe\t\n2.5\t-3\t\nabc\t\t\nTRUE\t0.001\t\n');
JS
