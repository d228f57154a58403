// qvsheet as a user runs it: exit codes, messages on standard error, and the
// files it writes.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct TRun {
    int Code = -1;
    std::string Out;
    std::string Err;
};

class Qvsheet : public ::testing::Test {
protected:
    void SetUp() override {
        FDir = fs::temp_directory_path() / ("qvsheet_test_" + std::to_string(::getpid()));
        fs::create_directories(FDir);
    }
    void TearDown() override { fs::remove_all(FDir); }

    std::string Path(const std::string& Name) const { return (FDir / Name).string(); }
    void Write(const std::string& Name, const std::string& Text) const { std::ofstream(Path(Name)) << Text; }
    std::string Read(const std::string& Name) const {
        std::ifstream in(Path(Name));
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

    // Env is set for qvsheet alone.
    TRun Run(const std::string& Args, const std::string& Env = "") const {
        const std::string err = Path("stderr.txt");
        TRun r;
        FILE* p = popen(("cd " + FDir.string() + " && env QT_QPA_PLATFORM=offscreen " + Env +
                         " " QVSHEET_PATH " " + Args + " 2>" + err).c_str(),
                        "r");
        std::array<char, 4096> buf;
        size_t n;
        while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.Out.append(buf.data(), n);
        const int status = pclose(p);
        r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.Err = Read("stderr.txt");
        return r;
    }

    fs::path FDir;
};

}  // namespace

TEST_F(Qvsheet, HelpAndWrongCommandLines) {
    const TRun help = Run("--help");
    EXPECT_EQ(help.Code, 0);
    for (const char* word : {"info", "dump", "convert", "render"}) EXPECT_NE(help.Out.find(word), std::string::npos);
    EXPECT_NE(Run("convert --help").Out.find("--separator"), std::string::npos);

    const TRun none = Run("");
    EXPECT_EQ(none.Code, 2);
    EXPECT_NE(none.Err.find("A subcommand is required"), std::string::npos);
    EXPECT_EQ(Run("info").Code, 2);
    EXPECT_EQ(Run("convert a.qvf").Code, 2);
}

TEST_F(Qvsheet, FailuresNameTheFileAndTheFault) {
    const TRun missing = Run("info missing.qvf");
    EXPECT_EQ(missing.Code, 1);
    EXPECT_EQ(missing.Err, "qvsheet: Cannot open file \"missing.qvf\": No such file or directory\n");

    Write("junk.qvf", "not a sheet");
    EXPECT_EQ(Run("dump junk.qvf").Err, "qvsheet: junk.qvf: Invalid stream format\n");
    EXPECT_EQ(Run("info data.csv").Err, "qvsheet: data.csv: not a sheet file (the name must end in .qvf)\n");

    Write("bad.csv", "a,b\n\"never closed\n");
    Write("out.qvf", "earlier");
    const TRun bad = Run("convert bad.csv out.qvf");
    EXPECT_EQ(bad.Code, 1);
    EXPECT_EQ(bad.Err, "qvsheet: bad.csv: line 2, column 1: a quoted field is not closed\n");
    EXPECT_EQ(Read("out.qvf"), "earlier");  // a failed conversion leaves it

    Write("ok.csv", "1\n");
    EXPECT_EQ(Run("convert ok.csv out.doc").Err,
              "qvsheet: out.doc: unknown output type '.doc' (use .qvf, .csv, .xlsx, .pdf or .png)\n");
    EXPECT_EQ(Run("render ok.csv out.png --range 7A").Err, "qvsheet: '7A' is not a cell range such as A1:H20\n");
    EXPECT_EQ(Run("convert ok.csv out.pdf --page-size Z9").Code, 1);
}

TEST_F(Qvsheet, ConvertsBetweenCsvAndSheetFilesAndDescribesThem) {
    Write("in.csv", "Name;Qty;When\nApple;007;2024-02-29\n\"Pear; ripe\";12;x\n");
    ASSERT_EQ(Run("convert in.csv s.qvf --separator ';'").Code, 0);
    const TRun info = Run("info s.qvf");
    EXPECT_EQ(info.Code, 0);
    EXPECT_NE(info.Out.find("cells:         9\n  TQvCDateTime: 1\n  TQvCInteger: 1\n  TQvCString: 7\n"),
              std::string::npos)
        << info.Out;

    const TRun dump = Run("dump s.qvf");
    EXPECT_EQ(dump.Out.rfind("object Sheet", 0) == 0 || dump.Out.find("object ") != std::string::npos, true);
    EXPECT_NE(dump.Out.find("\n1\t1\tTQvCString\t007\n1\t2\tTQvCDateTime\t2024-02-29\n2\t0\tTQvCString\tPear; ripe\n"),
              std::string::npos)
        << dump.Out;

    ASSERT_EQ(Run("convert s.qvf back.csv").Code, 0);
    EXPECT_EQ(Read("back.csv"), "Name,Qty,When\r\nApple,007,2024-02-29\r\nPear; ripe,12,x\r\n");
}

TEST_F(Qvsheet, TheShowcaseConvertsToEveryOutput) {
    const std::string showcase = QV_SOURCE_DIR "/examples/showcase.qvf";
    ASSERT_EQ(Run("convert " + showcase + " s.xlsx").Code, 0);
    FILE* p = popen(("/usr/bin/python3 -c \"import openpyxl; wb = openpyxl.load_workbook('" + Path("s.xlsx") +
                     "'); ws = wb.active; import zipfile; print(ws['B2'].value, ws['C1'].value, ws.freeze_panes, "
                     "[n for n in zipfile.ZipFile('" + Path("s.xlsx") + "').namelist() if n.startswith('xl/media/')])\"")
                        .c_str(),
                    "r");
    std::array<char, 256> buf{};
    std::string out = fgets(buf.data(), buf.size(), p) ? buf.data() : "";
    pclose(p);
    // The picture cell's bitmap travels as an image.
    EXPECT_EQ(out, "Oak desk Qty B2 ['xl/media/image1.bmp']\n");

    const TRun pdf = Run("convert " + showcase + " s.pdf --page-size Letter --landscape");
    EXPECT_EQ(pdf.Code, 0) << pdf.Err;
    EXPECT_EQ(pdf.Err, "");
    EXPECT_EQ(Read("s.pdf").rfind("%PDF", 0), 0u);
    EXPECT_EQ(Run("render " + showcase + " s.png --range A1:C4 --scale 200").Code, 0);
    EXPECT_EQ(Read("s.png").substr(1, 3), "PNG");
}

TEST_F(Qvsheet, RefusesWhatItCannotDoAndSaysWhy) {
    const TRun bogus = Run("bogus x.qvf");
    EXPECT_EQ(bogus.Code, 2);
    EXPECT_EQ(bogus.Err, "qvsheet: unknown command 'bogus' (use info, dump, convert or render; see --help)\n");

    // A scale of 0 or less once painted a speck; PDF and PNG take 25..500.
    Write("ok.csv", "1,2\n3,4\n");
    for (const char* scale : {"0", "-5"}) {
        const TRun r = Run(std::string("convert ok.csv out.pdf --scale ") + scale);
        EXPECT_EQ(r.Code, 1);
        EXPECT_EQ(r.Err, std::string("qvsheet: scale ") + scale + " is outside 25..500\n");
        EXPECT_FALSE(fs::exists(Path("out.pdf")));
    }
    // A sheet read from CSV keeps the 5 columns and rows a new sheet has.
    EXPECT_EQ(Run("render ok.csv out.png --range B2:F3").Err,
              "qvsheet: the range B2:F3 lies past the sheet's 5 columns and 5 rows\n");

    // Qt's own notes (here: a style the environment asks for that is not
    // there) are no business of the user's.
    const TRun styled = Run("render ok.csv out.png", "QT_STYLE_OVERRIDE=nonexistent");
    EXPECT_EQ(styled.Code, 0);
    EXPECT_EQ(styled.Err, "");
}

TEST_F(Qvsheet, DashIsStandardInputOrOutput) {
    Write("in.csv", "Name,Qty\nApple,7\n");
    ASSERT_EQ(Run("convert - s.qvf --from csv < in.csv").Code, 0);
    EXPECT_NE(Run("info - < s.qvf").Out.find("file:          standard input\n"), std::string::npos);
    const TRun csv = Run("convert - - --from qvf --to csv < s.qvf");
    EXPECT_EQ(csv.Code, 0) << csv.Err;
    EXPECT_EQ(csv.Out, "Name,Qty\r\nApple,7\r\n");
    EXPECT_EQ(Run("render s.qvf - --scale 50").Out.substr(1, 3), "PNG");

    EXPECT_EQ(Run("convert - s.xlsx < in.csv").Err,
              "qvsheet: standard input: name its type with --from (qvf, csv, xlsx or ods)\n");
    EXPECT_EQ(Run("convert in.csv -").Err,
              "qvsheet: standard output: name its type with --to (qvf, csv, xlsx, pdf or png)\n");
    Write("bad.csv", "a,\"open\n");
    EXPECT_EQ(Run("convert - s.qvf --from csv < bad.csv").Err,
              "qvsheet: standard input: line 1, column 2: a quoted field is not closed\n");
}

TEST_F(Qvsheet, SpreadsheetFilesConvertAndTellWhatTheyHold) {
    // A workbook of two sheets, one with a formula, written by openpyxl.
    Write("make.py", "import sys, openpyxl\nwb = openpyxl.Workbook()\nws = wb.active\nws.title = 'Data'\n"
                     "ws['A1'] = 'n'; ws['A2'] = 2; ws['A3'] = '=A2*2'\n"
                     "o = wb.create_sheet('Other'); o['A1'] = 'x'; o['B1'] = 1.5\nwb.save(sys.argv[1])\n");
    ASSERT_EQ(std::system(("cd " + FDir.string() + " && /usr/bin/python3 make.py book.xlsx").c_str()), 0);

    const TRun info = Run("info book.xlsx");
    EXPECT_EQ(info.Code, 0) << info.Err;
    EXPECT_NE(info.Out.find("sheets:        Data, Other\n"), std::string::npos) << info.Out;
    EXPECT_NE(info.Out.find("formulas:      1 (read as their cached values)\n"), std::string::npos) << info.Out;
    EXPECT_NE(info.Err.find("1 formula read as the values the file cached"), std::string::npos) << info.Err;

    const TRun byName = Run("convert book.xlsx other.csv --sheet Other");
    EXPECT_EQ(byName.Code, 0) << byName.Err;
    EXPECT_EQ(Read("other.csv"), "x,1.5\r\n");
    EXPECT_EQ(Run("convert book.xlsx second.csv --sheet 2").Code, 0);
    EXPECT_EQ(Read("second.csv"), Read("other.csv"));
    const TRun toQvf = Run("convert book.xlsx book.qvf");
    EXPECT_EQ(toQvf.Code, 0) << toQvf.Err;
    EXPECT_NE(Run("info book.qvf").Out.find("cells:         2\n"), std::string::npos);

    const TRun missing = Run("convert book.xlsx x.csv --sheet Nowhere");
    EXPECT_EQ(missing.Code, 1);
    EXPECT_EQ(missing.Err, "qvsheet: book.xlsx: the workbook has no sheet named \"Nowhere\" (it has \"Data\", \"Other\")\n");
    Write("junk.xlsx", "plain text, and not a spreadsheet at all");
    EXPECT_EQ(Run("convert junk.xlsx x.qvf").Err, "qvsheet: junk.xlsx: not a spreadsheet file (no zip package)\n");
}
