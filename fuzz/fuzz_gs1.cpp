// Any text through the gs1 component: a GS1 Digital Link URI, an AI's value, each
// linter, the associations of fields split at GS. Every fault lies within what was
// checked, and a value without faults has a length its AI allows. Then the same
// text as a read's data after identifiers of each kind (none, plain, GS1 with ECI,
// a structured append's part): every finding within the data and said in words,
// a Digital Link's fields all in its element strings.
#include "analysis/readanalysis.h"
#include "codes/findingtext.h"
#include "gs1/gs1associations.h"
#include "gs1/gs1digitallink.h"
#include "gs1/gs1lint.h"
#include "textrule.h"

namespace {

void within(const QList<Gs1::LintFault> &faults, QStringView checked, const QString &text)
{
    for (const Gs1::LintFault &f : faults) {
        if (f.offset < 0 || f.length < 0 || f.offset + f.length > checked.size())
            fail("a fault outside the value", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const Gs1::DigitalLink link = Gs1::parseDigitalLink(text);
    for (const Gs1::DigitalLinkFault &f : link.faults) {
        if (f.offset < 0 || f.length < 0 || f.offset + f.length > text.size())
            fail("a Digital Link fault outside the URI", text);
    }
    const QString elements = link.elementString();
    for (const Gs1::DigitalLinkElement &e : link.elements) {
        if (!link.digitalLink || e.offset < 0 || e.offset > text.size() || !elements.contains(e.ai + e.value))
            fail("a Digital Link element not in the element string", text);
    }

    if (const Gs1::AiEntry *entry = Gs1::match(text)) {
        const QStringView value = QStringView(text).sliced(entry->code().size());
        const QList<Gs1::LintFault> faults = Gs1::checkValue(*entry, value);
        within(faults, value, text);
        if (faults.isEmpty() && (value.size() < entry->minLength() || value.size() > entry->maxLength()))
            fail("a value of a length its AI does not allow passed", text);
        for (int l = 1; l <= int(Gs1::Linter::couponposoffer); ++l)
            within(Gs1::lint(Gs1::Linter(l), value), value, text);
    }

    QList<Gs1::AiValue> fields;
    for (const QStringView field : QStringView(text).tokenize(QChar(0x1D))) {
        if (const Gs1::AiEntry *entry = Gs1::match(field))
            fields.append({ field.first(entry->code().size()), field.sliced(entry->code().size()) });
    }
    for (const Gs1::AssociationFault &f : Gs1::checkAssociations(fields)) {
        if (f.element < 0 || f.element >= fields.size() || f.other < -1 || f.other >= fields.size())
            fail("an association fault naming no field", text);
    }

    for (const char *id : { "", "]Q1", "]d5", "]zA" }) {
        const ReadContent content = judgeContent(text, SymbologyIds::find(QString::fromLatin1(id)));
        for (const QList<Finding> *list : { &content.faults, &content.remarks }) {
            for (const Finding &f : *list) {
                if (f.position < -1 || f.position > text.size() || FindingText::sentence(f).isEmpty())
                    fail("a finding outside the data or without words", text);
            }
        }
        if (content.digitalLink) {
            const QString bracketed = Gs1Parser::bracketed(content.elements);
            for (const Gs1Element &e : content.elements) {
                if (!bracketed.contains(u'(' + e.ai + u')'))
                    fail("a Digital Link field not in its element strings", text);
            }
        }
    }
    return 0;
}
