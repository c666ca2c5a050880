#pragma once

#include "print/PrintCanvas.h"
#include "print/PrintFont.h"

#include <QList>
#include <QSize>
#include <QStringList>

#include <vector>

using namespace korbana;

// Every character is kCharWidth dots wide (kBoldCharWidth in bold); a non-empty text is one cell high,
// an empty one 0 high, as the least helpful printer would measure it.
class FakeCanvas final : public PrintCanvas
{
public:
    static constexpr int kCharWidth = 10;
    static constexpr int kBoldCharWidth = 12;
    static constexpr int kHeight = 50;
    static constexpr int kBoldHeight = 60;

    struct Drawn
    {
        int page;
        int x;
        int y;
        QString text;
        bool bold;
    };

    int m_dpiX = 600;
    int m_dpiY = 600;
    int m_width = 4760;
    int m_height = 6814;

    QStringList jobs;
    int ended = 0;
    int page = 0;
    bool bold = false;
    std::vector<Drawn> drawn;
    QList<PrintFont> fonts;

    void beginJob(const QString& documentName) override { jobs.append(documentName); }
    int dpiX() const override { return m_dpiX; }
    int dpiY() const override { return m_dpiY; }
    int printableWidth() const override { return m_width; }
    int printableHeight() const override { return m_height; }
    void setFont(const PrintFont& font, bool setBold) override
    {
        fonts.append(font);
        bold = setBold;
    }
    QSize measure(const QString& text) override
    {
        if (text.isEmpty())
            return { 0, 0 };
        return { static_cast<int>(text.size()) * (bold ? kBoldCharWidth : kCharWidth), bold ? kBoldHeight : kHeight };
    }
    void drawText(int x, int y, const QString& text) override { drawn.push_back({ page, x, y, text, bold }); }
    void newPage() override { ++page; }
    void endJob() override { ++ended; }

    QStringList texts() const
    {
        QStringList list;
        for (const Drawn& d : drawn)
            list.append(d.text);
        return list;
    }
};
