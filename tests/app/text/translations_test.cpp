// Guards the language files against texts lupdate cannot see or that lost their markers, shortcuts or accelerators.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "app/commands/CommandTable.h"

namespace {

struct Entry {
    QString translation;
    QString type;  // "unfinished", "vanished", "obsolete" or empty
};
using Key = std::pair<QString, QString>;  // context, source
using TsFile = std::map<Key, Entry>;

QString SourceRoot() { return QDir(QStringLiteral(ORLAT_TEST_DATA "/../..")).canonicalPath(); }

TsFile ReadTs(const QString& path)
{
    TsFile out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return out;
    }
    QXmlStreamReader xml(&f);
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            Entry e;
            e.type = xml.attributes().value(QLatin1String("type")).toString();
            e.translation = xml.readElementText();
            out[{context, source}] = e;
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return out;
}

// What lupdate finds in the sources today, as the update target runs it.
TsFile FreshScan()
{
    const QString lupdate = QLibraryInfo::path(QLibraryInfo::BinariesPath) + QStringLiteral("/lupdate");
    if (!QFileInfo(lupdate).isExecutable()) {
        ADD_FAILURE() << "lupdate missing: " << lupdate.toStdString();
        return {};
    }
    QTemporaryDir tmp;
    const QString ts = tmp.filePath(QStringLiteral("fresh.ts"));
    const QString root = SourceRoot();
    QProcess p;
    p.start(lupdate, {QStringLiteral("-I"), root, QStringLiteral("-locations"), QStringLiteral("none"),
                      QStringLiteral("-no-obsolete"), root + QStringLiteral("/app"), root + QStringLiteral("/widgets"),
                      QStringLiteral("-ts"), ts});
    EXPECT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return ReadTs(ts);
}

TsFile Kept(const char* language)
{
    return ReadTs(SourceRoot() + QStringLiteral("/app/translations/OrlatCenter_%1.ts").arg(QLatin1String(language)));
}

std::string Name(const Key& k) { return (k.first + QStringLiteral(" | ") + k.second).toStdString(); }

// The accelerator letters of a text ("&&" is a literal ampersand).
QString Mnemonics(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] != QLatin1Char('&')) out += text[i + 1];
        ++i;
    }
    return out;
}

// The key named after the tab, without the mnemonic-only "(&X)" of the
// Chinese resources: "(Ctrl+1)" gives "Ctrl+1", "(&A)" nothing.
QString Shortcut(const QString& text)
{
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab < 0) return {};
    QString s = text.mid(tab + 1);
    s.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    s.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    return s.trimmed().toLower();
}

QStringList Markers(const QString& text)
{
    QStringList m;
    auto it = QRegularExpression(QStringLiteral("%[0-9]+")).globalMatch(text);
    while (it.hasNext()) m << it.next().captured();
    m.sort();
    return m;
}

QString Label(QString text)
{
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0) text.truncate(tab);
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

TEST(Translations, EveryTextTheCodeTranslatesHasAFinishedEntryAndNoEntryIsLeftOver)
{
    const TsFile fresh = FreshScan();
    ASSERT_GT(fresh.size(), 100u);  // the scan saw the dialogs' label tables too
    EXPECT_TRUE(fresh.count({QStringLiteral("CDlgPara"), QString::fromUtf8("只绘不切")}));
    EXPECT_TRUE(fresh.count({QStringLiteral("CDlgProtectPara"), QString::fromUtf8("修改齿轮比")}));
    for (const char* language : {"en", "tr"}) {
        SCOPED_TRACE(language);
        const TsFile kept = Kept(language);
        for (const auto& [key, e] : fresh) {
            const auto it = kept.find(key);
            if (it == kept.end()) {
                ADD_FAILURE() << "no entry: " << Name(key);
                continue;
            }
            EXPECT_TRUE(it->second.type.isEmpty()) << it->second.type.toStdString() << ": " << Name(key);
            EXPECT_FALSE(it->second.translation.isEmpty()) << "empty: " << Name(key);
        }
        for (const auto& [key, e] : kept) EXPECT_TRUE(fresh.count(key)) << "no code uses: " << Name(key);
    }
}

TEST(Translations, EntriesKeepPlaceMarkersShortcutsAndOneAcceleratorInTheWord)
{
    for (const char* language : {"en", "tr"}) {
        SCOPED_TRACE(language);
        for (const auto& [key, e] : Kept(language)) {
            const QString& src = key.second;
            const QString& tr = e.translation;
            EXPECT_EQ(Markers(tr).join(u' ').toStdString(), Markers(src).join(u' ').toStdString()) << Name(key);
            EXPECT_EQ(Shortcut(tr).toStdString(), Shortcut(src).toStdString()) << Name(key);
            // A prompt is "status text\ntool tip": a lost line break loses the tip.
            if (key.first == QLatin1String("Menu")) {
                EXPECT_EQ(tr.count(QLatin1Char('\n')), src.count(QLatin1Char('\n'))) << Name(key);
            }
            EXPECT_FALSE(Label(tr).endsWith(QLatin1Char(';'))) << Name(key);
            const QString want = Mnemonics(src);
            const QString got = Mnemonics(tr);
            EXPECT_EQ(got.size(), want.size()) << Name(key);
            // On a letter of the word itself, not a "(&X)" tacked on; the
            // Chinese name of Chinese has no letter to carry it.
            const QString label = Label(tr);
            if (got.size() == 1 && label.contains(QRegularExpression(QStringLiteral("[A-Za-z]")))) {
                EXPECT_TRUE(label.contains(got, Qt::CaseInsensitive) && !tr.contains(QStringLiteral("(&")))
                    << "accelerator outside the word: " << Name(key) << " -> " << tr.toStdString();
            }
        }
    }
}

TEST(Translations, TurkishLeavesNoEnglishBehind)
{
    // Words both languages write alike.
    const std::set<QString> same = {QStringLiteral("USB"), QStringLiteral("Ethernet"), QString::fromUtf8("简体中文(&C)"),
                                    QStringLiteral("&English"), QString::fromUtf8("&Türkçe")};
    const TsFile en = Kept("en");
    for (const auto& [key, e] : Kept("tr")) {
        const auto it = en.find(key);
        if (it == en.end() || same.count(e.translation)) continue;
        EXPECT_NE(e.translation.toStdString(), it->second.translation.toStdString()) << "English in Turkish: " << Name(key);
    }
}

TEST(Translations, TheLanguageMenuNamesEachLanguageInItselfInEveryLanguage)
{
    const std::pair<uint16_t, const char*> names[] = {{3000, "简体中文"}, {3001, "English"}, {3002, "Türkçe"}};
    const TsFile files[] = {Kept("en"), Kept("tr")};
    for (const auto& [id, name] : names) {
        const MenuEntry* e = commandtable::FindCommand(commandtable::MainMenu(), id);
        ASSERT_NE(e, nullptr);
        const QString source = QString::fromUtf8(e->text);
        EXPECT_EQ(Label(source).toStdString(), name);
        for (const TsFile& f : files) {
            const auto it = f.find({QStringLiteral("Menu"), source});
            ASSERT_NE(it, f.end()) << id;
            EXPECT_EQ(Label(it->second.translation).toStdString(), name);
        }
    }
}

// Two items of one drop-down on one letter: the second is out of reach by keyboard.
void ExpectDistinctMnemonics(std::span<const MenuEntry> items, const TsFile& f, const std::string& where)
{
    std::map<QChar, QString> taken;
    for (const MenuEntry& e : items) {
        if (!e.text) continue;
        const auto it = f.find({QStringLiteral("Menu"), QString::fromUtf8(e.text)});
        const QString text = it == f.end() ? QString::fromUtf8(e.text) : it->second.translation;
        for (QChar c : Mnemonics(text)) {
            const auto [at, fresh] = taken.emplace(c.toLower(), text);
            EXPECT_TRUE(fresh) << where << ": " << text.toStdString() << " and " << at->second.toStdString();
        }
        if (e.kind == MenuEntry::Kind::SubMenu) ExpectDistinctMnemonics(e.items, f, where + " > " + text.toStdString());
    }
}

TEST(Translations, AcceleratorsAreDistinctWithinEachMenu)
{
    ExpectDistinctMnemonics(commandtable::MainMenu(), {}, "zh");
    ExpectDistinctMnemonics(commandtable::MainMenu(), Kept("en"), "en");
    ExpectDistinctMnemonics(commandtable::MainMenu(), Kept("tr"), "tr");
}

}  // namespace
