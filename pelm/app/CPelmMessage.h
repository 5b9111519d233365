#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <string>

class CTextEncoding;
class QWidget;

// Every message box of Pelm goes through here, so that tests can answer them without a human.
class CPelmMessage {
public:
    // Receives the text and the buttons offered and returns the button "pressed".
    using Hook = std::function<QMessageBox::StandardButton(const QString& text,
                                                           QMessageBox::StandardButtons buttons)>;

    static QMessageBox::StandardButton show(QWidget* parent, const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            QMessageBox::Icon icon = QMessageBox::Warning);
    // Installs a hook (an empty one removes it); returns the previous one.
    static Hook setHook(Hook hook);

    // Converts text typed by the user into bytes of the chosen encoding; a character the
    // encoding cannot hold is refused with a message.
    static bool takeText(QWidget* parent, const CTextEncoding& encoding, const QString& text,
                         std::string& out);
    // Byte texts keep Windows line ends; edit controls here show "\n".
    static QString toEditText(const CTextEncoding& encoding, const std::string& bytes);
    static bool takeEditText(QWidget* parent, const CTextEncoding& encoding, const QString& text,
                             std::string& out);
};
