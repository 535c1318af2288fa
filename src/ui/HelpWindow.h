#pragma once

#include <QWidget>

class QTextBrowser;

// The help window: shows a page of the help document (the contents page
// first) and follows its links.
class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the document's contents page; false when it cannot be read.
    bool showContents(const QString& documentPath);
    QString source() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* m_browser = nullptr;
};

// The page that holds the help file's contents: the file of the same base
// name with the extension ".html" in the program folder's Help folder (any
// case); empty when there is none.
QString HelpDocumentFor(const QString& programFolder, const QString& helpFile);
