// qvsheet: inspect and convert sheet files from the command line.
//
//   qvsheet info FILE.qvf|FILE.xlsx|FILE.ods [--sheet NAME]
//   qvsheet dump FILE.qvf
//   qvsheet convert IN OUT [--sheet NAME] [--separator C] [--raw] [--bom] [--page-size A4] ...
//   qvsheet render FILE.qvf OUT.png [--range A1:H20] [--scale N]
//
// A file named "-" is standard input or output; its type then comes from
// --from or --to (info and dump read sheet files only).
//
// Exit codes: 0 done, 1 the work failed (the message names the file and the
// fault), 2 the command line was wrong.
#include <CLI/CLI.hpp>
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/cell_range.h"
#include "cli/commands.h"
#include "platform/exceptions.h"
#include "platform/message_box.h"

namespace {

// Messages the library would show in a box (a cell record that failed to
// load) go to standard error as warnings.
class TStderrMessages : public qv::IQvMessageService {
public:
    int MessageBox(const std::string& Text, const std::string& Caption, qv::TMsgIcon, qv::TMsgButtons Buttons) override {
        std::cerr << "qvsheet: warning: " << Caption << ": " << Text << "\n";
        return qv::DefaultButton(Buttons);
    }
};

// Qt's own messages (no runtime folder, missing fonts, platform plugins)
// are about the session, not the work: whatever goes wrong with the work
// raises an exception that names the file. Only a fatal one, after which Qt
// ends the program, is worth the user's eyes.
void QtMessages(QtMsgType Type, const QMessageLogContext&, const QString& Text) {
    if (Type == QtFatalMsg) std::cerr << "qvsheet: " << Text.toStdString() << "\n";
}

// PDF and PNG output paint with the widgets; without a display they paint
// off screen.
std::unique_ptr<QApplication> StartWidgets(int& Argc, char** Argv) {
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QtMessages);
    return std::make_unique<QApplication>(Argc, Argv);
}

}  // namespace

int main(int argc, char** argv) {
    // A first word that is no option and no command would otherwise be
    // reported as an unexpected argument.
    if (argc > 1 && argv[1][0] != '-') {
        const std::string word = argv[1];
        if (word != "info" && word != "dump" && word != "convert" && word != "render") {
            std::cerr << "qvsheet: unknown command '" << word << "' (use info, dump, convert or render; see --help)\n";
            return 2;
        }
    }
    CLI::App app{"qvsheet: inspect sheet files (.qvf) and convert them to and from CSV, and to spreadsheet files "
                 "(.xlsx), PDF and PNG."};
    app.require_subcommand(1);
    app.footer("Exit codes: 0 done, 1 the work failed, 2 wrong command line.");

    std::string in, out, range;
    qv::cli::TConvertOptions options;
    char separator = ',';

    CLI::App* info = app.add_subcommand("info", "Sizes, counts of cells by class, merged ranges and styles");
    info->add_option("FILE", in, "The sheet file (.qvf, or a spreadsheet file .xlsx or .ods; - for standard input)")
        ->required();
    info->add_option("--sheet", options.Sheet, "Spreadsheet files: the sheet to read, by name or number (default: the first)");

    CLI::App* dump = app.add_subcommand(
        "dump", "The component stream as text, then one line per cell: row, column, class, display text (tabs between)");
    dump->add_option("FILE", in, "The sheet file (.qvf; - for standard input)")->required();

    CLI::App* convert = app.add_subcommand(
        "convert", "Convert IN to OUT by their extensions: .qvf <-> .csv; .qvf, .csv, .xlsx or .ods to .xlsx, .pdf or .png");
    convert->add_option("IN", in, "Input file (.qvf, .csv, .xlsx or .ods; - for standard input)")->required();
    convert->add_option("--sheet", options.Sheet, "Spreadsheet files: the sheet to read, by name or number (default: the first)");
    convert->add_option("OUT", out, "Output file (.qvf, .csv, .xlsx, .pdf or .png; - for standard output)")->required();
    convert->add_option("--from", options.From, "The input's type (qvf, csv, xlsx or ods) whatever its name; needed for -");
    convert->add_option("--to", options.To, "The output's type (qvf, csv, xlsx, pdf or png) whatever its name; needed for -");
    convert->add_option("-s,--separator", separator, "CSV field separator (default ,)");
    convert->add_flag("--raw", options.Raw, "CSV: raw values (full precision, ISO dates) instead of display texts");
    convert->add_flag("--bom", options.Bom, "CSV: start the file with a UTF-8 byte-order mark");
    convert->add_option("--page-size", options.PageSize, "PDF: page size (A4, A3, Letter, Legal, ...; default A4)");
    convert->add_flag("--landscape", options.Landscape, "PDF: landscape pages");
    bool noFit = false;
    convert->add_flag("--no-fit", noFit, "PDF: do not scale the sheet down to the page width");
    convert->add_option("--scale", options.Scale, "PDF: percent on paper; PNG: grid scale; 25..500 (default 100)");
    convert->add_flag("--auto-titles", options.AutoTitles,
                      "PDF, PNG: letters and numbers in the title cells that hold no text");

    CLI::App* render = app.add_subcommand("render", "Paint a sheet, or a range of its cells, into a PNG picture");
    render->add_option("FILE", in, "The sheet file (.qvf, .csv, .xlsx or .ods; - for standard input)")->required();
    render->add_option("OUT", out, "The picture (.png; - for standard output)")->required();
    render->add_option("--from", options.From, "The input's type (qvf or csv) whatever its name; needed for -");
    render->add_option("--range", range, "Client cells to paint, e.g. A1:H20 (default: the used area)");
    render->add_option("--scale", options.Scale, "Grid scale in percent, 25..500 (default 100)");
    render->add_flag("--auto-titles", options.AutoTitles, "Letters and numbers in the title cells that hold no text");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }
    options.Separator = separator;
    options.FitToWidth = !noFit;

    TStderrMessages messages;
    qv::TMessageServiceScope scope(messages);
    std::unique_ptr<QApplication> widgets;
    try {
        if (*info) {
            qv::cli::Info(in, std::cout, options.Sheet);
        } else if (*dump) {
            qv::cli::Dump(in, std::cout);
        } else if (*convert) {
            if (qv::cli::NeedsWidgets(out, options)) widgets = StartWidgets(argc, argv);
            qv::cli::Convert(in, out, options);
        } else if (*render) {
            if (!range.empty()) options.Range = qv::cli::ParseCellRange(range);
            options.RangeText = range;
            if (out != "-" && (out.size() < 4 || out.compare(out.size() - 4, 4, ".png") != 0))
                throw qv::EWriteError(out + ": render writes PNG pictures (the name must end in .png)");
            options.To = "png";
            widgets = StartWidgets(argc, argv);
            qv::cli::Convert(in, out, options);
        }
    } catch (const std::exception& e) {
        std::cerr << "qvsheet: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
