#include "SharedRoutines.h"

#include <QDateTime>
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
