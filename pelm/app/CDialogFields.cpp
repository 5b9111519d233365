#include "app/CDialogFields.h"

#include "app/CPelmMessage.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <limits>

QValidator::State CUpperCaseValidator::validate(QString& input, int&) const {
    input = input.toUpper();
    return Acceptable;
}

void CDialogFields::makeUpperCase(QLineEdit* edit) {
    edit->setValidator(new CUpperCaseValidator(edit));
}

void CDialogFields::makeNumeric(QLineEdit* edit) {
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), edit));
}

int32_t CDialogFields::leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    const bool negative = i < t.size() && t.at(i) == QLatin1Char('-');
    if (negative || (i < t.size() && t.at(i) == QLatin1Char('+')))
        ++i;
    int64_t value = 0;
    for (; i < t.size() && t.at(i) >= QLatin1Char('0') && t.at(i) <= QLatin1Char('9'); ++i) {
        value = value * 10 + (t.at(i).unicode() - '0');
        // Beyond any valid value: keep it out of range without overflowing.
        if (value > std::numeric_limits<int32_t>::max())
            value = std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(negative ? -value : value);
}

bool CDialogFields::checkMaxBytes(QWidget* field, size_t bytes, size_t max) {
    if (bytes <= max)
        return true;
    CPelmMessage::show(
        field,
        QCoreApplication::translate("CDialogFields", "Enter no more than %1 characters.").arg(max));
    field->setFocus();
    return false;
}
