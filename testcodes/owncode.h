#pragma once

#include "analysis/readverdict.h"

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;

// The operator's own code: what a label of theirs holds, entered as text, so that
// reads of it are judged as the test codes' are. It lives in memory only.
namespace OwnCode {

// A content as the window shows it: UTF-8 text, each character without a glyph
// (control characters, DEL, NBSP, SHY; not the space) by its name in «»,
// "…7<R«GS»91…", as ReadText::visibleText names it.
QString shown(const QByteArray &content);
// The content of text written that way, typed or pasted: a name in «» is that
// character, any other character its UTF-8 bytes. Null, with the reason in
// `error`, for a name visibleText never gives, a « left open, or nothing.
std::optional<QByteArray> content(const QString &text, QString *error);
// The symbology identifier due, "]d2"; empty for any. Null, with the reason in
// `error`, for text of another shape.
std::optional<QByteArray> identifier(const QString &text, QString *error);

} // namespace OwnCode

// Asks for the operator's own code: its content and, if the operator wants it
// checked, its symbology identifier. Modal, so that it keeps the keys typed into
// it. OK closes it only with both lines valid; else it says what is wrong.
class OwnCodeDialog : public QDialog
{
    Q_OBJECT

public:
    // Starts from `code` (the operator's code entered before, or none).
    explicit OwnCodeDialog(const ExpectedCode &code, QWidget *parent = nullptr);

    // Once accepted: the code entered.
    ExpectedCode code() const { return m_code; }

public slots:
    void accept() override;

private:
    QLineEdit *m_content;
    QLineEdit *m_identifier;
    QLabel *m_error;
    ExpectedCode m_code;
};
