#include "texts/texts.h"

#include <gtest/gtest.h>

using namespace dim;

namespace {

struct Expected {
    int slot;
    const char *texts[4]; // German, English, French, Spanish (UTF-8)
    int lengths[4];
};

// The filled table, slot by slot, with the length of every text.
const Expected kTable[] = {
    {1, {"Weiss  ", "White  ", "Blanc  ", "Blanco  "}, {7, 7, 7, 8}},
    {2, {"Blau   ", "Blue   ", "Bleu   ", "Azul   "}, {7, 7, 7, 7}},
    {3, {"Wolken ", "Clouds ", "Nuages ", "Nubes "}, {7, 7, 7, 6}},
    {4, {"Mond   ", "Moon   ", "Lune   ", "Luna   "}, {7, 7, 7, 7}},
    {5, {"Cursor", "cursor", "curseur", "cursor"}, {6, 6, 7, 6}},
    {6, {"Punkt", "point", "point de", "punto"}, {5, 5, 8, 5}},
    {7, {"Laden", "Load", "Boutique", "Tienda"}, {5, 4, 8, 6}},
    {8, {"Speichern", "Save", "Enregistrer", "Ahorrar"}, {9, 4, 11, 7}},
    {9, {"Neu", "New", "Nouveau", "Nuevo"}, {3, 3, 7, 5}},
    {10,
     {"Wolken Tempo", "Speed of Clouds", "Vitesse de Nuage", "Velocidad De La Nube"},
     {12, 15, 16, 20}},
    {11,
     {"Wolken Intensität", "Clouds amplitude", "Wolken Intensität", "Wolken Intensität"},
     {17, 16, 17, 17}},
    {12, {"Mondänderung ", "Moon change ", "Mondänderung ", "Mondänderung "}, {13, 12, 13, 13}},
    {13,
     {"Wollen Sie alle Linien löschen? ", "Skip Current Data?", "Annulé Les Données Actuel?",
      "Borrar los datos actuales?"},
     {32, 18, 26, 26}},
    {14, {" ", " ", " ", " "}, {1, 1, 1, 1}},
    {15, {"Achtung!", "Attention!", "Attention!", "Atención!"}, {8, 10, 10, 9}},
    {16,
     {"Fehler beim laden!", "Mistake with the loading!", "Faute au chargement!",
      "Falta en la tienda!"},
     {18, 25, 20, 19}},
    {20, {"", "", "", ""}, {0, 0, 0, 0}},
    {21, {"W e i s s  ", "W h i t e  ", "B l a n c  ", "B l a n c o  "}, {11, 11, 11, 13}},
    {22, {"B l a u   ", "B l u e   ", "B l e u   ", "A z u l   "}, {10, 10, 10, 10}},
    {23, {"W o l k e n ", "C l o u d s ", "N u a g e s ", "N u b e s "}, {12, 12, 12, 10}},
    {24, {"M o n d   ", "M o o n   ", "L u n e   ", "L u n a   "}, {10, 10, 10, 10}},
};

class TextTableTest : public ::testing::Test {
protected:
    void SetUp() override { FillTexts(table); }
    TextTable table;
};

TEST_F(TextTableTest, EveryLanguageRowHoldsItsExactTexts) {
    for (const Expected &e : kTable) {
        for (int row = 0; row < 4; ++row) {
            SCOPED_TRACE(testing::Message() << "slot " << e.slot << " row " << row);
            const QString text = GetText(table, row, e.slot);
            EXPECT_EQ(text, QString::fromUtf8(e.texts[row]));
            EXPECT_EQ(text.size(), e.lengths[row]);
        }
    }
}

TEST_F(TextTableTest, PlaceholdersStandInEveryRowForUnusedSlots) {
    for (int row = 0; row < 10; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(GetText(table, row, 0), QStringLiteral("Text[0,0]"));
        EXPECT_EQ(GetText(table, row, 0).size(), 9);
        for (int slot = 17; slot <= 19; ++slot) {
            EXPECT_EQ(GetText(table, row, slot), QStringLiteral("Text[0,%1]").arg(slot));
            EXPECT_EQ(GetText(table, row, slot).size(), 10);
        }
    }
}

TEST_F(TextTableTest, SpareRowsCopyGermanAndTheLastStaysEmpty) {
    for (int row = 4; row <= 9; ++row)
        for (int slot = 0; slot < TextSlots; ++slot)
            EXPECT_EQ(GetText(table, row, slot), GetText(table, 0, slot)) << row << "/" << slot;
    for (int slot = 0; slot < TextSlots; ++slot)
        EXPECT_TRUE(GetText(table, 10, slot).isEmpty()) << slot;
}

TEST_F(TextTableTest, LettersWithDiacriticsAreSingleWindows1252Bytes) {
    EXPECT_EQ(GetText(table, 0, 11).toLatin1().at(15), '\xe4');
    EXPECT_EQ(GetText(table, 0, 13).toLatin1().at(24), '\xf6');
    EXPECT_EQ(GetText(table, 2, 13).toLatin1().at(5), '\xe9');
    EXPECT_EQ(GetText(table, 3, 15).toLatin1().at(6), '\xf3');
    EXPECT_EQ(LanguageNames()[2].toLatin1(), QByteArray("Fran\xe7"
                                                        "aise"));
    EXPECT_EQ(LanguageNames()[3].toLatin1(), QByteArray("Espa\xf1ol"));
    EXPECT_EQ(LanguageNames()[0], QStringLiteral("Deutsch"));
    EXPECT_EQ(LanguageNames()[1], QStringLiteral("English"));
}

TEST_F(TextTableTest, LookupsOutsideTheTableGiveNothing) {
    EXPECT_TRUE(GetText(table, -1, 1).isEmpty());
    EXPECT_TRUE(GetText(table, 11, 1).isEmpty());
    EXPECT_TRUE(GetText(table, 0, 25).isEmpty());
    EXPECT_TRUE(GetText(table, 0, -1).isEmpty());
}

// Outside input in a message: every control character and each edge of the escaped blocks.
TEST(ShownInput, EscapesWhatCannotBeShownAndCutsLongInput) {
    const struct {
        QString text;
        const char *shown;
    } cases[] = {
        {QStringLiteral("a b~"), "a b~"},
        {QString(QChar(0x00)), "\\x00"},
        {QString(QChar(0x1f)), "\\x1f"},
        {QString(QChar(0x7e)), "~"},
        {QString(QChar(0x7f)), "\\x7f"},
        {QString(QChar(0x80)), "\\u0080"},
        {QString(QChar(0x9f)), "\\u009f"},
        {QString(QChar(0xa0)), "\xc2\xa0"},
        {QStringLiteral("\n\t\\"), "\\n\\t\\\\"},
        {QString(QChar(0xdc7f)), "\\udc7f"},
        {QString(QChar(0xdc80)), "\\x80"},
        {QString(QChar(0xdcff)), "\\xff"},
        {QString(QChar(0xdd00)), "\\udd00"},
        {QString::fromUtf8("\xf0\x9f\x90\xa0"), "\xf0\x9f\x90\xa0"},
        {QString(QChar(0xd83d)), "\\ud83d"},
        {QString(QChar(0x2028)) + QChar(0xfeff), "\\u2028\\ufeff"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ShownInput(c.text).toStdString(), c.shown) << c.shown;
    EXPECT_EQ(ShownInput(QStringLiteral("abcdef"), 3), QStringLiteral("abc..."));
    EXPECT_EQ(ShownInput(QStringLiteral("abc"), 3), QStringLiteral("abc"));
    EXPECT_EQ(ShownInput(QString(100, QLatin1Char('x')), -1).size(), 100);
}

TEST_F(TextTableTest, ChannelNamesCoverEveryChannelOfTheTable) {
    EXPECT_EQ(ChannelName(table, 0, 0), QStringLiteral("Text[0,0]"));
    EXPECT_EQ(ChannelName(table, 0, 1), QStringLiteral("Weiss  "));
    EXPECT_EQ(ChannelName(table, 3, 3), QStringLiteral("Nubes "));
    EXPECT_EQ(ChannelName(table, 2, 4), QStringLiteral("Lune   "));
    EXPECT_EQ(ChannelName(table, 1, 2), QStringLiteral("Blue   "));
    EXPECT_EQ(ChannelName(table, 0, 5), QStringLiteral("Kanal 5"));
    EXPECT_EQ(ChannelName(table, 1, 10), QStringLiteral("Channel 10"));
    EXPECT_EQ(ChannelName(table, 2, 7), QStringLiteral("Canal 7"));
    EXPECT_EQ(ChannelName(table, 3, 6).size(), 7);
}

} // namespace
