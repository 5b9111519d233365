#pragma once

#include <QWidget>

#include <cstdint>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

// Find in the sheet with the options of the search window: the text, "Match whole",
// "Case sensitive" and the kinds of text to look at.
class CFindBar : public QWidget {
    Q_OBJECT
public:
    explicit CFindBar(QWidget* parent = nullptr);

    QString text() const;
    bool matchWhole() const;
    bool caseSensitive() const;
    int32_t targets() const;
    void setTargets(int32_t targets);
    void setResult(const QString& message);
    void activate();

signals:
    // The user asked for the first match of a new search (Return) or the next one.
    void findRequested();
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* m_text;
    QCheckBox* m_whole;
    QCheckBox* m_case;
    QToolButton* m_targets;
    QLabel* m_result;
};
