#include "texts/texts.h"

#include <algorithm>

namespace dim {

namespace {

struct LanguageRow {
    int row;
    const char *channels[4]; // slots 1..4
    const char *captions[4]; // slots 21..24
    const char *others[12];  // slots 5..16
};

// Slots 11 and 12 are left out (nullptr) where a language keeps the German texts.
const LanguageRow kGerman{0,
                          {"Weiss  ", "Blau   ", "Wolken ", "Mond   "},
                          {"W e i s s  ", "B l a u   ", "W o l k e n ", "M o n d   "},
                          {"Cursor", "Punkt", "Laden", "Speichern", "Neu", "Wolken Tempo",
                           "Wolken Intensität", "Mondänderung ", "Wollen Sie alle Linien löschen? ",
                           " ", "Achtung!", "Fehler beim laden!"}};

const LanguageRow kEnglish{1,
                           {"White  ", "Blue   ", "Clouds ", "Moon   "},
                           {"W h i t e  ", "B l u e   ", "C l o u d s ", "M o o n   "},
                           {"cursor", "point", "Load", "Save", "New", "Speed of Clouds",
                            "Clouds amplitude", "Moon change ", "Skip Current Data?", " ",
                            "Attention!", "Mistake with the loading!"}};

const LanguageRow kFrench{2,
                          {"Blanc  ", "Bleu   ", "Nuages ", "Lune   "},
                          {"B l a n c  ", "B l e u   ", "N u a g e s ", "L u n e   "},
                          {"curseur", "point de", "Boutique", "Enregistrer", "Nouveau",
                           "Vitesse de Nuage", nullptr, nullptr, "Annulé Les Données Actuel?", " ",
                           "Attention!", "Faute au chargement!"}};

const LanguageRow kSpanish{3,
                           {"Blanco  ", "Azul   ", "Nubes ", "Luna   "},
                           {"B l a n c o  ", "A z u l   ", "N u b e s ", "L u n a   "},
                           {"cursor", "punto", "Tienda", "Ahorrar", "Nuevo", "Velocidad De La Nube",
                            nullptr, nullptr, "Borrar los datos actuales?", " ", "Atención!",
                            "Falta en la tienda!"}};

void FillRow(TextTable &table, const LanguageRow &lang) {
    auto &row = table.Texts[static_cast<size_t>(lang.row)];
    for (int n = 0; n < 4; ++n) {
        row[static_cast<size_t>(1 + n)] = QString::fromUtf8(lang.channels[n]);
        row[static_cast<size_t>(21 + n)] = QString::fromUtf8(lang.captions[n]);
    }
    for (int i = 0; i < 12; ++i) {
        if (lang.others[i])
            row[static_cast<size_t>(5 + i)] = QString::fromUtf8(lang.others[i]);
    }
}

// The word before the number of channels 5..10, per language row.
const char *const kChannelWord[LanguageCount] = {"Kanal", "Channel", "Canal", "Canal"};

} // namespace

const std::array<QString, LanguageCount> &LanguageNames() {
    static const std::array<QString, LanguageCount> names{
        QStringLiteral("Deutsch"), QStringLiteral("English"), QString::fromUtf8("Française"),
        QString::fromUtf8("Español")};
    return names;
}

void FillTexts(TextTable &table) {
    auto &german = table.Texts[0];
    for (int i = 0; i <= 19; ++i)
        german[static_cast<size_t>(i)] = QStringLiteral("Text[0,%1]").arg(i);
    FillRow(table, kGerman);
    for (size_t r = 1; r <= 9; ++r)
        table.Texts[r] = german;
    FillRow(table, kEnglish);
    FillRow(table, kFrench);
    FillRow(table, kSpanish);
}

QString GetText(const TextTable &table, int row, int slot) {
    if (row < 0 || row >= TextRows || slot < 0 || slot >= TextSlots)
        return {};
    return table.Texts[static_cast<size_t>(row)][static_cast<size_t>(slot)];
}

std::array<QString, 4> BandCaptions(const TextTable &table, int row) {
    return {GetText(table, row, SlotBandCaption0 + 1), GetText(table, row, SlotBandCaption0 + 2),
            GetText(table, row, SlotBandCaption0 + 3), GetText(table, row, SlotBandCaption0 + 4)};
}

QString ChannelName(const TextTable &table, int row, int channel) {
    if (channel <= 4)
        return GetText(table, row, channel);
    const int lang = (row >= 0 && row < LanguageCount) ? row : 0;
    return QStringLiteral("%1 %2")
        .arg(QLatin1String(kChannelWord[lang]))
        .arg(channel)
        .leftJustified(7);
}

QString ShownInput(const QString &text, int limit) {
    QString shown;
    const qsizetype end = limit < 0 ? text.size() : std::min<qsizetype>(text.size(), limit);
    for (qsizetype i = 0; i < end; ++i) {
        const char16_t u = text.at(i).unicode();
        if (u == u'\n')
            shown += QLatin1String("\\n");
        else if (u == u'\t')
            shown += QLatin1String("\\t");
        else if (u == u'\\')
            shown += QLatin1String("\\\\");
        else if (u >= 0xdc80 && u <= 0xdcff) // a byte of a name that is no UTF-8
            shown += QStringLiteral("\\x%1").arg(u - 0xdc00, 2, 16, QLatin1Char('0'));
        else if (u < 0x20 || u == 0x7f)
            shown += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else if ((u >= 0x80 && u < 0xa0) || u == 0x2028 || u == 0x2029 || u == 0xfeff ||
                 (QChar::isSurrogate(u) &&
                  !(QChar::isHighSurrogate(u) && i + 1 < text.size() &&
                    QChar::isLowSurrogate(text.at(i + 1).unicode())) &&
                  !(QChar::isLowSurrogate(u) && i > 0 &&
                    QChar::isHighSurrogate(text.at(i - 1).unicode()))))
            shown += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        else
            shown += QChar(u);
    }
    if (end < text.size())
        shown += QLatin1String("...");
    return shown;
}

} // namespace dim
