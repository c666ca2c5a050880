// Printing shopping entries on a fake canvas (10,000 and 100,000) and into a PDF (10,000), beside drawing the same
// texts at the same places on the same canvas without the layout.
#include "BenchFixture.h"

#include "document/ListFile.h"
#include "print/PrintCanvas.h"
#include "print/Printer.h"
#include "print/QPrinterCanvas.h"
#include "print/ShoppingPrintout.h"

#include <QPrinter>

#include <map>
#include <memory>
#include <variant>
#include <vector>

using namespace korbana;

namespace {

constexpr int kShoppingEntries = 10'000;
constexpr int kManyShoppingEntries = 100'000;

// A printer without a device, as the printout's tests have it: fixed resolution, page and character cells;
// it keeps what was drawn.
class FakeCanvas final : public PrintCanvas
{
public:
    struct Drawn
    {
        int x;
        int y;
        QString text;
    };

    void beginJob(const QString&) override { m_drawn.clear(); }
    int dpiX() const override { return 600; }
    int dpiY() const override { return 600; }
    int printableWidth() const override { return 4760; }
    int printableHeight() const override { return 6814; }
    void setFont(const PrintFont&, bool bold) override { m_bold = bold; }
    QSize measure(const QString& text) override
    {
        return text.isEmpty() ? QSize() : QSize(static_cast<int>(text.size()) * (m_bold ? 12 : 10), m_bold ? 60 : 50);
    }
    void drawText(int x, int y, const QString& text) override { m_drawn.push_back({ x, y, text }); }
    void newPage() override { }
    void endJob() override { }

private:
    std::vector<Drawn> m_drawn;
    bool m_bold = false;
};

// Passes everything on to another canvas and notes what reached the page, to be drawn again without the layout.
class RecordingCanvas final : public PrintCanvas
{
public:
    explicit RecordingCanvas(PrintCanvas& target)
        : m_target(target)
    {
    }

    void beginJob(const QString& name) override { m_target.beginJob(name); }
    int dpiX() const override { return m_target.dpiX(); }
    int dpiY() const override { return m_target.dpiY(); }
    int printableWidth() const override { return m_target.printableWidth(); }
    int printableHeight() const override { return m_target.printableHeight(); }
    void setFont(const PrintFont& font, bool bold) override
    {
        m_steps.emplace_back(Font { font, bold });
        m_target.setFont(font, bold);
    }
    QSize measure(const QString& text) override { return m_target.measure(text); }
    void drawText(int x, int y, const QString& text) override
    {
        m_steps.emplace_back(Text { x, y, text });
        m_target.drawText(x, y, text);
    }
    void newPage() override
    {
        m_steps.emplace_back(NewPage {});
        m_target.newPage();
    }
    void endJob() override { m_target.endJob(); }

    // The same job on another canvas: the fonts, texts and pages in the order they came.
    void replay(PrintCanvas& canvas) const
    {
        canvas.beginJob(QStringLiteral("Einkaufsliste"));
        for (const Step& step : m_steps) {
            if (const auto* font = std::get_if<Font>(&step))
                canvas.setFont(font->font, font->bold);
            else if (const auto* text = std::get_if<Text>(&step))
                canvas.drawText(text->x, text->y, text->text);
            else
                canvas.newPage();
        }
        canvas.endJob();
    }

private:
    struct Font
    {
        PrintFont font;
        bool bold;
    };
    struct Text
    {
        int x;
        int y;
        QString text;
    };
    struct NewPage
    {
    };
    using Step = std::variant<Font, Text, NewPage>;

    PrintCanvas& m_target;
    std::vector<Step> m_steps;
};

const ListModel& shopping(int entries)
{
    static std::map<int, sample::Lists> made;
    sample::Lists& lists = made[entries];
    if (lists.shopping->count() == 0) {
        // Loaded from its file, as the program has its lists: texts that repeat share their strings.
        sample::Lists filled;
        bench::fillLists(filled.set(), { 100, 2'000, entries });
        if (korbana::parseListFile(sample::fileBytes(filled.set()), lists.set()) != korbana::ReadResult::Ok)
            qFatal("the sample lists did not load");
    }
    return *lists.shopping;
}

void printOn(PrintCanvas& canvas, int entries)
{
    ShoppingPrintout(canvas, shopping(entries), PrintMargins {}, PrintFont {}).run();
}

// The printer object writing a PDF file, as "Drucken..." with a PDF printer chosen.
QPrinterCanvas& pdfCanvas()
{
    static std::unique_ptr<QPrinterCanvas> canvas = [] {
        QPrinter& printer = Printer::instance().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(bench::scratchPath(QStringLiteral("einkaufsliste.pdf")));
        return std::make_unique<QPrinterCanvas>(Printer::instance());
    }();
    return *canvas;
}

template<class Canvas> void printKorbana(benchmark::State& state, Canvas& canvas)
{
    const int entries = static_cast<int>(state.range(0));
    for (auto _ : state)
        printOn(canvas, entries);
    state.SetItemsProcessed(state.iterations() * entries);
}

template<class Canvas> void printBaseline(benchmark::State& state, Canvas& canvas)
{
    const int entries = static_cast<int>(state.range(0));
    RecordingCanvas recorder(canvas);
    printOn(recorder, entries);
    for (auto _ : state)
        recorder.replay(canvas);
    state.SetItemsProcessed(state.iterations() * entries);
}

void fakeKorbana(benchmark::State& state)
{
    FakeCanvas canvas;
    printKorbana(state, canvas);
}

void fakeBaseline(benchmark::State& state)
{
    FakeCanvas canvas;
    printBaseline(state, canvas);
}

void pdfKorbana(benchmark::State& state)
{
    printKorbana(state, pdfCanvas());
}

void pdfBaseline(benchmark::State& state)
{
    printBaseline(state, pdfCanvas());
}

benchmark::internal::Benchmark* registerPrint(const char* name, void (*fn)(benchmark::State&))
{
    return benchmark::RegisterBenchmark(name, fn)->Arg(kShoppingEntries)->Unit(benchmark::kMillisecond);
}

const bool registered = [] {
    registerPrint("print-canvas/korbana", fakeKorbana)->Arg(kManyShoppingEntries);
    registerPrint("print-canvas/baseline", fakeBaseline)->Arg(kManyShoppingEntries);
    registerPrint("print-pdf/korbana", pdfKorbana);
    registerPrint("print-pdf/baseline", pdfBaseline);
    return true;
}();

} // namespace
