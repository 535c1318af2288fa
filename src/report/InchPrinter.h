#pragma once

#include <QFont>
#include <QPainter>
#include <QString>
#include <functional>

class QPagedPaintDevice;

// What a printer adds to a paged device, so that the report needs no print
// support library: a broken job can be thrown away, and a job can still fail
// after its last page. Either may be empty (a PDF file has neither).
struct PagedJob {
    std::function<void()> abort;
    std::function<bool()> failed;
};

// A paged device seen the way the report is laid out: inch coordinates from
// the top left of the printable area, a current position that each printed
// line advances, and pages counted from 1. Any failure of the device (it
// cannot start, a page cannot be added) is remembered and turns the
// remaining output into no-ops, so that a broken job ends at once.
class InchPrinter {
public:
    explicit InchPrinter(QPagedPaintDevice& device, PagedJob job = {});
    ~InchPrinter();
    InchPrinter(const InchPrinter&) = delete;
    InchPrinter& operator=(const InchPrinter&) = delete;

    // Starts the document on page 1. False when the device refused.
    bool begin();
    // Ends the document; a page started by NewPage but never written to is
    // not emitted. False when the job failed at any point.
    bool end();
    bool ok() const { return m_ok; }

    // The printable area in inches.
    double ScaleWidth() const;
    double ScaleHeight() const;
    int Page() const { return m_page; }

    double CurrentX = 0;
    double CurrentY = 0;

    void setFont(const QString& family, double pointSize, bool bold);
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;

    // Prints at the current position (top of the text at CurrentY). With a
    // line end the position moves to the start of the next line; without
    // it, to the end of the text.
    void Print(const QString& text = {}, bool lineEnd = true);
    void Line(double x1, double y1, double x2, double y2);
    // Closes the page. The next one begins, at (0, 0), only when more output
    // follows.
    void NewPage();

private:
    bool startPendingPage();
    QPointF toDevice(double x, double y) const;

    QPagedPaintDevice& m_device;
    PagedJob m_job;
    QPainter m_painter;
    QFont m_font;
    double m_dpiX = 1;
    double m_dpiY = 1;
    int m_page = 0;
    bool m_pagePending = false;
    bool m_ok = false;
};
