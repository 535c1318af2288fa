#include "SharedRoutines.h"

#include "ProgramFolder.h"
#include "TextFields.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QWidget>

void CenterForm(QWidget* form) {
    if (!form)
        return;
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = form->frameGeometry().size();
    form->move(area.left() + (area.width() - size.width()) / 2,
               area.top() + (area.height() - size.height()) / 2);
}

QString GeneralDateNow() {
    return QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
}

void SelectAllText(QLineEdit* textBox) {
    if (textBox)
        textBox->setSelection(0, int(textBox->text().size()));
}

QString ChangeExtension(const QString& path, const QString& extension) {
    const QFileInfo info(path);
    return info.absolutePath() + u'/' + info.completeBaseName() + u'.' + extension;
}

int ProjectBoardCode(const QString& projectPath) {
    constexpr int DefaultCode = 68; // "D": the K2700
    const QFileInfo kvl(ChangeExtension(projectPath, QStringLiteral("kvl")));
    QFile file(ProgramFolder::resolve(kvl.absolutePath(), kvl.fileName()));
    if (!file.open(QIODevice::ReadOnly))
        return DefaultCode;
    const QStringList lines = TextFields::lines(file.read(64 * 1024));
    if (lines.isEmpty())
        return DefaultCode;
    const QString first = TextFields::firstField(lines.front());
    if (first.isEmpty())
        return DefaultCode;
    return Windows1252::encode(first.left(1)).at(0) & 0xFF;
}
