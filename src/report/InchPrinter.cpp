#include "InchPrinter.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPen>

InchPrinter::InchPrinter(QPagedPaintDevice& device, PagedJob job)
    : m_device(device), m_job(std::move(job)) {}

InchPrinter::~InchPrinter() {
    if (m_painter.isActive())
        m_painter.end();
}

bool InchPrinter::begin() {
    m_dpiX = m_device.logicalDpiX();
    m_dpiY = m_device.logicalDpiY();
    m_ok = m_dpiX > 0 && m_dpiY > 0 && m_painter.begin(&m_device);
    if (!m_ok)
        return false;
    // The printer's default pen: a cosmetic line of one device pixel.
    m_painter.setPen(QPen(Qt::black, 0));
    m_page = 1;
    m_pagePending = false;
    CurrentX = CurrentY = 0;
    return true;
}

bool InchPrinter::end() {
    if (!m_painter.isActive())
        return m_ok;
    // A broken job is thrown away rather than sent half done.
    if (!m_ok && m_job.abort)
        m_job.abort();
    if (!m_painter.end())
        m_ok = false;
    if (m_job.failed && m_job.failed())
        m_ok = false;
    return m_ok;
}

double InchPrinter::ScaleWidth() const {
    return m_device.width() / m_dpiX;
}

double InchPrinter::ScaleHeight() const {
    return m_device.height() / m_dpiY;
}

void InchPrinter::setFont(const QString& family, double pointSize, bool bold) {
    m_font = QFont(family);
    // Where the family is missing, a serif face stands in for it.
    m_font.setStyleHint(QFont::Serif);
    // No ligatures: a PDF's text is then searched and copied as it was
    // written ("Configuration", not a "fi" glyph).
    m_font.setStyleStrategy(QFont::PreferNoShaping);
    m_font.setPointSizeF(pointSize);
    m_font.setBold(bold);
    m_font.setItalic(false);
    m_font.setUnderline(false);
    if (m_painter.isActive())
        m_painter.setFont(m_font);
}

double InchPrinter::TextWidth(const QString& text) const {
    return QFontMetricsF(m_font, &m_device).horizontalAdvance(text) / m_dpiX;
}

double InchPrinter::TextHeight(const QString&) const {
    return QFontMetricsF(m_font, &m_device).height() / m_dpiY;
}

void InchPrinter::Print(const QString& text, bool lineEnd) {
    if (!startPendingPage())
        return;
    if (!text.isEmpty()) {
        const QFontMetricsF metrics(m_font, &m_device);
        m_painter.setFont(m_font);
        m_painter.drawText(toDevice(CurrentX, CurrentY) + QPointF(0, metrics.ascent()), text);
    }
    if (lineEnd) {
        CurrentX = 0;
        CurrentY += TextHeight(text);
    } else {
        CurrentX += TextWidth(text);
    }
}

void InchPrinter::Line(double x1, double y1, double x2, double y2) {
    if (!startPendingPage())
        return;
    m_painter.drawLine(toDevice(x1, y1), toDevice(x2, y2));
    CurrentX = x2;
    CurrentY = y2;
}

void InchPrinter::NewPage() {
    if (!m_ok)
        return;
    m_pagePending = true;
    ++m_page;
    CurrentX = CurrentY = 0;
}

bool InchPrinter::startPendingPage() {
    if (!m_ok || !m_painter.isActive())
        return m_ok = false;
    if (m_pagePending) {
        m_pagePending = false;
        if (!m_device.newPage())
            return m_ok = false;
    }
    return true;
}

QPointF InchPrinter::toDevice(double x, double y) const {
    return {x * m_dpiX, y * m_dpiY};
}
