#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "core/document.h"
#include "core/workspace.h"
#include "settings/languagefile.h"
#include "settings/languagetargets.h"

using namespace kurvana;

namespace {

/// A language file whose line n reads "L<n>", CR LF after every line.
QByteArray NumberedLines(int count) {
    QByteArray bytes;
    for (int n = 1; n <= count; ++n)
        bytes += "L" + QByteArray::number(n) + "\r\n";
    return bytes;
}

QString Line(int n) {
    return QString("L%1").arg(n);
}

constexpr int kFullFileLines = 2 * (kLanguageEntries + kExtraEntries);

QByteArray ShippedFile() {
    QFile file(KURVANA_SOURCE_DIR "/data/language.txt");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The %1, %2 ... placeholders of a text.
QSet<QString> Placeholders(const QString& text) {
    QSet<QString> found;
    for (const auto& match : QRegularExpression("%\\d").globalMatch(text))
        found << match.captured();
    return found;
}

bool HasCyrillic(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x400 && c.unicode() <= 0x4FF; });
}

} // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT
private slots:
    void eachLanguageTakesItsOwnLines_data() {
        QTest::addColumn<bool>("russian");
        QTest::addColumn<int>("offset"); // line of entry k is 2k - 1 + offset
        QTest::newRow("Russian: entry k on line 2k - 1") << true << 0;
        QTest::newRow("English: entry k on line 2k") << false << 1;
    }
    void eachLanguageTakesItsOwnLines() {
        QFETCH(bool, russian);
        QFETCH(int, offset);
        const LanguageEntries language = ParseLanguageFile(NumberedLines(264), russian);
        for (int k = 1; k <= kLanguageEntries; ++k)
            QCOMPARE(language.entry(k), Line(2 * k - 1 + offset));
        QCOMPARE(language.entry(1), Line(1 + offset));
        QCOMPARE(language.entry(132), Line(263 + offset));

        Document doc;
        ApplyLanguageToDocument(doc, language);
        QCOMPARE(doc.texts.message(1), Line(223 + offset));
        QCOMPARE(doc.texts.message(21), Line(263 + offset));
        QCOMPARE(doc.helpFileName, russian ? QString("kurvana2_r.html") : "kurvana2_e.html");
    }

    void aShortFileGivesEmptyTexts() {
        // 263 lines: the English line of M21 is missing, the Russian one is there.
        const QByteArray file263 = NumberedLines(263);
        QCOMPARE(ParseLanguageFile(file263, true).entry(132), Line(263));
        QVERIFY(ParseLanguageFile(file263, false).entry(132).isEmpty());
        QCOMPARE(ParseLanguageFile(file263, false).entry(131), Line(262));

        const LanguageEntries ten = ParseLanguageFile(NumberedLines(10), true);
        QCOMPARE(ten.entry(5), Line(9));
        QVERIFY(ten.entry(6).isEmpty());

        Document doc;
        doc.texts.setMessage(8, "old");
        ApplyLanguageToDocument(doc, ParseLanguageFile(QByteArray(), false)); // 0 bytes
        for (int slot = 1; slot <= 21; ++slot)
            QVERIFY(doc.texts.message(slot).isEmpty());
        QCOMPARE(doc.texts.extra(ExtraText::XAxisTooShort),
                 Texts::builtInExtra(ExtraText::XAxisTooShort));
    }

    void extraTextsFollowEntry132OrStayBuiltIn() {
        const LanguageEntries russian = ParseLanguageFile(NumberedLines(kFullFileLines), true);
        const LanguageEntries english = ParseLanguageFile(NumberedLines(kFullFileLines), false);
        for (int i = 0; i < kExtraEntries; ++i) {
            QCOMPARE(russian.extras.at(i).value_or(""), Line(265 + 2 * i));
            QCOMPARE(english.extras.at(i).value_or(""), Line(266 + 2 * i));
        }
        // One line after entry 132: the Russian text of the first extra only.
        const QByteArray oneMore = NumberedLines(265);
        QCOMPARE(ParseLanguageFile(oneMore, true).extras.at(0).value_or(""), Line(265));
        QVERIFY(!ParseLanguageFile(oneMore, false).extras.at(0));
        QVERIFY(!ParseLanguageFile(oneMore, true).extras.at(1));
        // Lines after the last entry are not read as entries.
        const LanguageEntries longer = ParseLanguageFile(NumberedLines(kFullFileLines + 9), true);
        QCOMPARE(longer.extras.back().value_or(""), Line(kFullFileLines - 1));

        // A file without them (an older one) keeps the built-in English; an English start after
        // a Russian one does not keep the Russian extras.
        Document doc;
        ApplyLanguageToDocument(doc, russian);
        QCOMPARE(doc.texts.extra(ExtraText(0)), Line(265));
        ApplyLanguageToDocument(doc, ParseLanguageFile(NumberedLines(264), false));
        QCOMPARE(doc.texts.extra(ExtraText(0)), Texts::builtInExtra(ExtraText(0)));
    }

    void linesAreTakenAsTheyStandInCodePage1251() {
        // "Файл  " with its two blanks, then "&File"; a last line without CR LF still counts.
        const QByteArray bytes("\xD4\xE0\xE9\xEB  \r\n&File\r\n \r\nx");
        const LanguageEntries russian = ParseLanguageFile(bytes, true);
        QCOMPARE(russian.entry(1), QString::fromUtf8("Файл  "));
        QCOMPARE(russian.entry(2), QString(" "));
        const LanguageEntries english = ParseLanguageFile(bytes, false);
        QCOMPARE(english.entry(1), QString("&File"));
        QCOMPARE(english.entry(2), QString("x"));
        // Files edited elsewhere may end lines in LF alone or CR alone.
        QCOMPARE(ParseLanguageFile("a\nb\nc\nd\n", false).entry(2), QString("d"));
        QCOMPARE(ParseLanguageFile("a\rb\rc\rd", true).entry(2), QString("c"));
    }

    void anUnreadableFileChangesNothing() {
        QTemporaryDir dir;
        Document doc;
        doc.programDir = dir.path() + "/";
        doc.languageRussian = true;
        doc.texts.setMessage(8, "copied");
        const QString help = doc.helpFileName;
        try {
            LoadLanguage(doc);
            QFAIL("a missing language file must be reported");
        } catch (const CommandError& error) {
            QVERIFY(error.text().contains("language.txt"));
        }
        QCOMPARE(doc.texts.message(8), QString("copied"));
        QCOMPARE(doc.helpFileName, help);
    }

    void everyEntryBeforeTheMessagesHasATarget() {
        const auto targets = LanguageTargets();
        QCOMPARE(int(targets.size()), kFirstMessageEntry - 1);
        for (int i = 0; i < int(targets.size()); ++i) {
            QCOMPARE(targets[i].entry, i + 1);
            QVERIFY(targets[i].window);
            QCOMPARE(targets[i].control == nullptr, targets[i].kind == TextKind::WindowTitle);
        }
        for (int k : {78, 79, 80})
            QVERIFY(targets[k - 1].secondControl);
    }

    void shippedFileHoldsEveryEntryInBothLanguages() {
        const QByteArray bytes = ShippedFile();
        QVERIFY(!bytes.isEmpty());
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), qsizetype(kFullFileLines));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));

        const LanguageEntries russian = ParseLanguageFile(bytes, true);
        const LanguageEntries english = ParseLanguageFile(bytes, false);
        for (int k = 1; k <= kLanguageEntries; ++k) {
            QVERIFY2(!russian.entry(k).isEmpty() && !english.entry(k).isEmpty(),
                     qPrintable(QString("entry %1").arg(k)));
            QVERIFY(!russian.entry(k).contains(QChar::ReplacementCharacter));
        }
        // Russian first: the Russian line of each message is Russian, the English one is not.
        for (int k = kFirstMessageEntry; k <= kLanguageEntries; ++k) {
            if (russian.entry(k).trimmed().isEmpty())
                continue; // M03 is the blank that joins the pieces of two questions
            QVERIFY2(HasCyrillic(russian.entry(k)), qPrintable(QString("entry %1").arg(k)));
            QVERIFY2(!HasCyrillic(english.entry(k)), qPrintable(QString("entry %1").arg(k)));
        }
        // Every extra text is there and carries the placeholders the program fills in.
        for (int i = 0; i < kExtraEntries; ++i) {
            const QSet<QString> wanted = Placeholders(Texts::builtInExtra(ExtraText(i)));
            QVERIFY2(russian.extras.at(i) && english.extras.at(i),
                     qPrintable(QString("extra %1").arg(i)));
            QCOMPARE(Placeholders(*russian.extras.at(i)), wanted);
            QCOMPARE(Placeholders(*english.extras.at(i)), wanted);
            // A message shown before the file is applied (a picture named on the command line
            // that cannot be opened) reads as the same message shown afterwards.
            QCOMPARE(*english.extras.at(i), Texts::builtInExtra(ExtraText(i)));
        }
    }
};

int RunLanguageFileTests(int argc, char** argv) {
    TestLanguageFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_languagefile.moc"
