#include "app/CPelmMessage.h"

#include "gui/CTextEncoding.h"

#include <QCoreApplication>

namespace {

CPelmMessage::Hook& hook() {
    static CPelmMessage::Hook h;
    return h;
}

} // namespace

QMessageBox::StandardButton CPelmMessage::show(QWidget* parent, const QString& text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::Icon icon) {
    if (hook())
        return hook()(text, buttons);
    QMessageBox box(icon, QStringLiteral("Pelm"), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

CPelmMessage::Hook CPelmMessage::setHook(Hook h) {
    Hook old = std::move(hook());
    hook() = std::move(h);
    return old;
}

bool CPelmMessage::takeText(QWidget* parent, const CTextEncoding& encoding, const QString& text,
                            std::string& out) {
    QString bad;
    if (encoding.fromUnicode(text, out, &bad))
        return true;
    show(parent, QCoreApplication::translate("CPelmMessage",
                                             "The character \"%1\" cannot be stored in the "
                                             "text encoding %2.\nChoose another character or "
                                             "another encoding (View menu).")
                     .arg(bad, encoding.name()));
    return false;
}

QString CPelmMessage::toEditText(const CTextEncoding& encoding, const std::string& bytes) {
    QString text = encoding.toUnicode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

bool CPelmMessage::takeEditText(QWidget* parent, const CTextEncoding& encoding, const QString& text,
                                std::string& out) {
    QString windows = text;
    windows.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    windows.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return takeText(parent, encoding, windows, out);
}
