#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// GS1 Digital Link URIs (GS1 Digital Link: URI syntax, release 1.4): a primary
// key and its qualifiers in the path, attributes in the query, each value
// percent-encoded, turned into the element strings they stand for. What breaks
// the syntax is a fault at its place in the URI; the elements are still given
// as far as they can be read.
namespace Gs1 {

struct DigitalLinkElement
{
    QString ai;
    QString value; // percent-decoded
    int offset = 0; // of the value's text in the URI
    bool attribute = false; // from the query
};

struct DigitalLinkFault
{
    enum class Kind : std::uint8_t {
        NoPrimaryKey, // AI pairs in the path, none a primary key
        NotQualifier, // ai is no qualifier of the primary key
        QualifierOutOfOrder, // ai comes before a qualifier that must precede it
        UnknownAi, // a path segment or query key of digits that is no AI
        NotAttribute, // ai may not be a query attribute
        BadPercentEncoding, // "%" without two hexadecimal digits
        EmptyValue,
        Repeated, // ai given twice
        SchemeCase, // "http" or "https" neither all lower nor all upper case
        ZoneIdentifier, // an IPv6 address in the host with a zone ("%25eth0")
        TrailingSlash, // the path ends in "/"
        QualifierInQuery, // ai qualifies the primary key, so belongs in the path
        LegacyGtin, // ai 01 with a GTIN-8, -12 or -13, padded to 14 digits
    };
    Kind kind = Kind::NoPrimaryKey;
    int offset = 0; // in the URI
    int length = 0;
    QString ai;
    friend bool operator==(const DigitalLinkFault &, const DigitalLinkFault &) = default;
};

struct DigitalLink
{
    bool uri = false; // an http or https URI (in any case) with a host
    bool digitalLink = false; // and a path that holds a primary key
    QList<DigitalLinkElement> elements; // primary key, qualifiers in order, attributes
    QList<DigitalLinkFault> faults;
    // The element strings: AI and value, a GS (U+001D) after each field but the
    // last unless its length is predefined.
    QString elementString() const;
};

DigitalLink parseDigitalLink(QStringView text);
// The kind's name as the enumerator spells it: "QualifierOutOfOrder".
const char *faultName(DigitalLinkFault::Kind kind);

// Which characters of a read that is no URI became the URI's "/", ":", "?",
// "=" or "&" in what the keys meant (Layouts::keysMeant): positions in the
// read, empty when the read is a URI already or the meant text is no GS1
// Digital Link.
QList<int> mangledUriCharacters(QStringView read, QStringView meant);

} // namespace Gs1
