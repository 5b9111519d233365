#pragma once

#include <QValidator>

#include <cstdint>

class QLineEdit;
class QPlainTextEdit;
class QString;
class QWidget;

// Field behaviours the dialogs share.
class CDialogFields {
public:
    // Typed letters become capitals.
    static void makeUpperCase(QLineEdit* edit);
    // Only digits can be typed.
    static void makeNumeric(QLineEdit* edit);
    // Digits after an optional sign up to the first other character; none gives 0.
    static int32_t leadingNumber(const QString& text);
    // True when the text's bytes fit; otherwise says so and gives the field the focus.
    static bool checkMaxBytes(QWidget* field, size_t bytes, size_t max);
};

// Upper-cases what is typed or pasted.
class CUpperCaseValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};
