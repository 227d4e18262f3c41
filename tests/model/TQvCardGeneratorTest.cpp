#include "model/TQvCardGenerator.h"

#include "StoreFixture.h"
#include "model/Contact.h"
#include "model/ContactCachedAvatar.h"
#include "model/Mail.h"

#include <QFile>
#include <QUrl>
#include <gtest/gtest.h>

using namespace tavrel;
using tavrel::test::StoreFixture;

namespace {

// Every physical line ends in CRLF, is at most 75 octets, and no lone CR or LF appears.
void expectWellFormed(const QByteArray& card)
{
    ASSERT_TRUE(card.endsWith("\r\n"));
    qsizetype start = 0;
    while (start < card.size()) {
        const qsizetype end = card.indexOf("\r\n", start);
        ASSERT_GE(end, 0);
        const QByteArray line = card.mid(start, end - start);
        EXPECT_LE(line.size(), 75) << line.constData();
        EXPECT_FALSE(line.contains('\r') || line.contains('\n')) << line.constData();
        start = end + 2;
    }
}

QByteArray unfold(QByteArray card)
{
    return card.replace("\r\n ", "");
}

QList<QByteArray> contentLines(const QByteArray& card)
{
    QList<QByteArray> lines = unfold(card).split('\n');
    for (auto& l : lines)
        l.chop(l.endsWith('\r') ? 1 : 0);
    lines.removeAll(QByteArray());
    return lines;
}

} // namespace

class VCard : public StoreFixture
{
};

TEST_F(VCard, NothingForNothing)
{
    EXPECT_TRUE(TQvCardGenerator::vCardForContact(nullptr).isNull());
}

TEST_F(VCard, MailWithoutContact)
{
    auto mail = Mail::mailEntityWithAddress("ann@x.com", true, moc());
    const QByteArray card = TQvCardGenerator::vCardForContact(mail);
    EXPECT_EQ(card, "BEGIN:VCARD\r\nVERSION:3.0\r\nN:ann@x.com\r\nFN:ann@x.com\r\n"
                    "EMAIL;TYPE=INTERNET:ann@x.com\r\nEND:VCARD\r\n");
}

TEST_F(VCard, ContactWithThreeAddressesMarksThePrimary)
{
    auto contact = moc()->insertNewObject<Contact>("Contact");
    contact->setName("Ann");
    for (const char* a : {"a@x.com", "b@x.com", "c@x.com"})
        contact->addMail(Mail::mailEntityWithAddress(a, true, moc()));
    auto primary = Mail::mailEntityWithAddress("b@x.com", moc());
    contact->setPrimaryMail(primary);
    const auto lines = contentLines(TQvCardGenerator::vCardForContact(primary));
    int mailLines = 0;
    int prefLines = 0;
    for (const auto& l : lines) {
        if (l.startsWith("EMAIL;"))
            ++mailLines;
        if (l.startsWith("EMAIL;TYPE=PREF,INTERNET:")) {
            ++prefLines;
            EXPECT_EQ(l, "EMAIL;TYPE=PREF,INTERNET:b@x.com");
        }
    }
    EXPECT_EQ(mailLines, 3);
    EXPECT_EQ(prefLines, 1);
    EXPECT_TRUE(lines.contains("FN:Ann"));
}

TEST_F(VCard, NamesAreEscapedAndCannotAddProperties)
{
    const struct
    {
        QString name;
        QByteArray written;
    } rows[] = {
        {"Doe, John", "Doe\\, John"},
        {"a;b", "a\\;b"},
        {"back\\slash", "back\\\\slash"},
        {"Ann\r\nEMAIL:evil@x.com", "Ann\\nEMAIL:evil@x.com"},
        {"Ann\nEND:VCARD", "Ann\\nEND:VCARD"},
        {"Ann\rX", "Ann\\nX"},
        {QString::fromUtf8("J\xc3\xb6rg"), "J\xc3\xb6rg"},
    };
    for (const auto& row : rows) {
        auto mail = moc()->insertNewObject<Mail>("Mail");
        mail->setAddress("ann@x.com");
        mail->setLabel(row.name);
        const QByteArray card = TQvCardGenerator::vCardForContact(mail);
        expectWellFormed(card);
        const auto lines = contentLines(card);
        EXPECT_TRUE(lines.contains("FN:" + row.written)) << row.written.constData();
        EXPECT_TRUE(lines.contains("N:" + row.written)) << row.written.constData();
        EXPECT_EQ(lines.count("END:VCARD"), 1);
        EXPECT_EQ(lines.size(), 6) << row.written.constData();
    }
}

TEST_F(VCard, LongNamesFoldOnCharacterBoundaries)
{
    auto mail = moc()->insertNewObject<Mail>("Mail");
    mail->setAddress("ann@x.com");
    const QString name = QString(100, QChar(0x00e9)); // two octets each
    mail->setLabel(name);
    const QByteArray card = TQvCardGenerator::vCardForContact(mail);
    expectWellFormed(card);
    EXPECT_TRUE(contentLines(card).contains("FN:" + name.toUtf8()));
    // Every physical line is valid UTF-8 by itself.
    for (const QByteArray& line : card.split('\n'))
        EXPECT_EQ(QString::fromUtf8(line).toUtf8(), line);
}

TEST_F(VCard, PhotoIsFoldedWithCrlfAndOneBlank)
{
    auto contact = moc()->insertNewObject<Contact>("Contact");
    auto mail = Mail::mailEntityWithAddress("ann@x.com", true, moc());
    contact->addMail(mail);
    const struct
    {
        int bytes;
        QList<int> pieces; // lengths of the continuation lines' Base64 text
    } rows[] = {
        {111, {74, 74}},    // 148 characters of Base64
        {112, {74, 74, 4}}, // 152
        {1, {4}},
        {0, {}},
    };
    for (const auto& row : rows) {
        QByteArray photo(row.bytes, 'p');
        for (int i = 0; i < photo.size(); ++i)
            photo[i] = char(i * 37);
        const QByteArray card = TQvCardGenerator::vCardForContact(mail, photo);
        expectWellFormed(card);
        const qsizetype header = card.indexOf("PHOTO;BASE64:\r\n");
        if (row.pieces.isEmpty()) {
            EXPECT_EQ(header, -1);
            continue;
        }
        ASSERT_GE(header, 0);
        QList<int> pieces;
        qsizetype at = header + int(strlen("PHOTO;BASE64:\r\n"));
        while (card.at(at) == ' ') {
            const qsizetype end = card.indexOf("\r\n", at);
            pieces.append(int(end - at - 1));
            at = end + 2;
        }
        EXPECT_EQ(pieces, row.pieces) << row.bytes;
        EXPECT_TRUE(contentLines(card).contains("PHOTO;BASE64:" + photo.toBase64()));
    }
}

TEST_F(VCard, PhotoComesFromTheCachedAvatar)
{
    auto contact = moc()->insertNewObject<Contact>("Contact");
    auto mail = Mail::mailEntityWithAddress("ann@x.com", true, moc());
    contact->addMail(mail);
    const QString path = home().path() + "/avatar.jpg";
    const QByteArray bytes("\xff\xd8\xff\xe0 jpeg bytes");
    const struct
    {
        QString value;
        bool writeFile;
        QByteArray content;
        bool photo;
    } rows[] = {
        {QUrl::fromLocalFile(path).toString(), true, bytes, true},
        {path, true, bytes, true},
        {path, true, QByteArray(), false}, // empty file
        {path + ".missing", false, bytes, false},
        {QString(), false, bytes, false},
        {"http://127.0.0.1/photo.jpg", false, bytes, false},
    };
    for (const auto& row : rows) {
        QFile::remove(path);
        if (row.writeFile) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(row.content);
        }
        contact->contactCachedAvatar()->setValue(row.value);
        const QByteArray card = TQvCardGenerator::vCardForContact(mail);
        EXPECT_EQ(contentLines(card).contains("PHOTO;BASE64:" + bytes.toBase64()), row.photo)
            << row.value.toStdString();
        EXPECT_EQ(card.contains("PHOTO"), row.photo) << row.value.toStdString();
    }
}
