#pragma once

#include <QWidget>

class QPlainTextEdit;

// The analysis of one read, in full, in a window of its own beside the form: plain
// text the operator can select and copy and a screen reader can read. It keeps
// nothing and writes nothing; each "Разобрать чтение…" shows its read here.
class ReadWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ReadWindow(QWidget *parent = nullptr);

    void showAnalysis(const QString &title, const QString &text);
    QString text() const;

private:
    void place();

    QPlainTextEdit *m_text;
};
