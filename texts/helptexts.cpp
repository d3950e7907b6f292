#include "texts/helptexts.h"

#include <QKeySequence>
#include <QList>
#include <QStringList>

#include <array>

namespace dim {

namespace {

using Row = std::array<const char *, 4>; // German, English, French, Spanish

QString In(const Row &row, int language) {
    return QString::fromUtf8(row[static_cast<size_t>(language < 0 || language > 3 ? 1 : language)]);
}

// The keys of a standard action as the toolkit binds and names them, "/" between them.
QString Keys(QKeySequence::StandardKey key) {
    QStringList names;
    for (const QKeySequence &keys : QKeySequence::keyBindings(key))
        names << keys.toString(QKeySequence::NativeText);
    return names.join(QStringLiteral(" / "));
}

QString Keys(const QList<QKeySequence> &keys) {
    QStringList names;
    for (const QKeySequence &k : keys)
        names << k.toString(QKeySequence::NativeText);
    return names.join(QStringLiteral(" / "));
}

} // namespace

QList<QKeySequence> RedoKeys() {
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence &more :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)})
        if (!keys.contains(more))
            keys << more;
    return keys;
}

QString HelpTitle(int language) {
    return In({"Hilfe", "Help", "Aide", "Ayuda"}, language);
}

std::vector<HelpSection> HelpContents(int language) {
    const auto row = [language](QString keys, const Row &what) {
        return HelpRow{std::move(keys), In(what, language)};
    };
    const auto text = [language](const Row &words) { return In(words, language); };
    const QString quit = Keys(QKeySequence::Quit).isEmpty()
                             ? Keys({QKeySequence(Qt::CTRL | Qt::Key_Q)})
                             : Keys(QKeySequence::Quit);
    return {
        {text({"Maus", "Mouse", "Souris", "Ratón"}),
         {
             row(text({"Ziehen mit der linken Taste", "Drag with the left button",
                       "Glisser avec le bouton gauche", "Arrastrar con el botón izquierdo"}),
                 {"zeichnet die Kurve des Bandes unter dem Zeiger",
                  "draws the curve of the band under the pointer",
                  "dessine la courbe de la bande sous le pointeur",
                  "dibuja la curva de la banda bajo el puntero"}),
             row(Keys({QKeySequence(Qt::CTRL)}).remove(QLatin1Char('+')) + QStringLiteral(" + ") +
                     text({"Ziehen", "drag", "glisser", "arrastrar"}),
                 {"ein durchgehender Strich: füllt die übersprungenen Viertelstunden",
                  "a continuous stroke: fills the quarter-hours a quick drag skips",
                  "un trait continu : remplit les quarts d'heure sautés",
                  "un trazo continuo: rellena los cuartos de hora saltados"}),
             row(text({"Rechte Taste", "Right button", "Bouton droit", "Botón derecho"}),
                 {"das Menü der Kurvenwerkzeuge", "the menu of the curve tools",
                  "le menu des outils de courbe", "el menú de las herramientas de curva"}),
             row(text({"Klick auf das Logo", "Click on the logo", "Clic sur le logo",
                       "Clic en el logotipo"}),
                 {"öffnet die Webseite des Herstellers", "opens the maker's web site",
                  "ouvre le site du fabricant", "abre el sitio web del fabricante"}),
         }},
        {text({"Tasten im Fenster", "Keys in the window", "Touches de la fenêtre",
               "Teclas en la ventana"}),
         {
             row(Keys(QKeySequence::Open),
                 {"Kurvendatei laden", "load a curve file", "charger un fichier de courbes",
                  "cargar un archivo de curvas"}),
             row(Keys(QKeySequence::Save),
                 {"Kurven speichern (mit SEL.DAT)", "save the curves (with SEL.DAT)",
                  "enregistrer les courbes (avec SEL.DAT)", "guardar las curvas (con SEL.DAT)"}),
             row(Keys(QKeySequence::New),
                 {"alle Kurven löschen, nach Rückfrage", "clear every curve, after a question",
                  "effacer toutes les courbes, après confirmation",
                  "borrar todas las curvas, tras confirmar"}),
             row(quit,
                 {"beenden; fragt nach ungespeicherten Kurven", "quit; asks about unsaved curves",
                  "quitter ; demande pour les courbes non enregistrées",
                  "salir; pregunta por las curvas no guardadas"}),
             row(Keys(QKeySequence::Undo), {"rückgängig", "undo", "annuler", "deshacer"}),
             row(Keys(RedoKeys()), {"wiederherstellen", "redo", "rétablir", "rehacer"}),
             row(Keys(QKeySequence::HelpContents),
                 {"diese Hilfe", "this help", "cette aide", "esta ayuda"}),
             row(Keys({QKeySequence(QKeySequence::Copy), QKeySequence(QKeySequence::Paste)}),
                 {"Kurve des Kanals kopieren / einfügen", "copy / paste the channel's curve",
                  "copier / coller la courbe du canal", "copiar / pegar la curva del canal"}),
             row(Keys({QKeySequence(Qt::CTRL | Qt::Key_Left),
                       QKeySequence(Qt::CTRL | Qt::Key_Right)}),
                 {"Kurve 15 Minuten früher / später", "the curve 15 minutes earlier / later",
                  "la courbe 15 minutes plus tôt / plus tard",
                  "la curva 15 minutos antes / después"}),
             row(Keys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right)}),
                 {"Kurve 1 Stunde früher / später", "the curve 1 hour earlier / later",
                  "la courbe 1 heure plus tôt / plus tard", "la curva 1 hora antes / después"}),
             row(Keys(QKeySequence::Delete),
                 {"Kurve des Kanals löschen", "clear the channel's curve",
                  "effacer la courbe du canal", "borrar la curva del canal"}),
             row(Keys({QKeySequence(Qt::Key_F5)}),
                 {"den Tag abspielen; noch einmal: anhalten / fortsetzen",
                  "play the day; again: pause / resume",
                  "jouer la journée ; à nouveau : pause / reprise",
                  "reproducir el día; otra vez: pausa / continuar"}),
             row(Keys({QKeySequence(Qt::Key_Escape)}) + QStringLiteral(", ") +
                     text({"Klick ins Diagramm", "click on the chart", "clic sur le graphique",
                           "clic en el gráfico"}),
                 {"das Abspielen beenden", "stop playing", "arrêter la lecture",
                  "detener la reproducción"}),
         }},
        {text({"Tasten im Diagramm", "Keys on the chart", "Touches sur le graphique",
               "Teclas en el gráfico"}),
         {
             row(Keys({QKeySequence(Qt::Key_Left), QKeySequence(Qt::Key_Right)}),
                 {"vorige / nächste Viertelstunde", "previous / next quarter-hour",
                  "quart d'heure précédent / suivant", "cuarto de hora anterior / siguiente"}),
             row(Keys({QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::Key_PageDown)}),
                 {"Kanal darüber / darunter", "channel above / below",
                  "canal au-dessus / en dessous", "canal de arriba / de abajo"}),
             row(Keys({QKeySequence(Qt::Key_Up), QKeySequence(Qt::Key_Down)}),
                 {"Wert plus / minus 1 (mit Umschalt 10)", "level plus / minus 1 (with Shift 10)",
                  "valeur plus / moins 1 (avec Maj 10)", "valor más / menos 1 (con Mayús 10)"}),
             row(Keys({QKeySequence(Qt::Key_Home), QKeySequence(Qt::Key_End)}),
                 {"Wert 255 / 0", "level 255 / 0", "valeur 255 / 0", "valor 255 / 0"}),
             row(QStringLiteral("0-9, ") + Keys({QKeySequence(Qt::Key_Return)}),
                 {"Prozent 0-100 eingeben und setzen", "type a percentage 0-100 and set it",
                  "saisir un pourcentage 0-100 et le fixer",
                  "escribir un porcentaje 0-100 y fijarlo"}),
             row(Keys({QKeySequence(Qt::Key_Escape)}),
                 {"Eingabe verwerfen", "drop what was typed", "abandonner la saisie",
                  "descartar lo escrito"}),
         }},
    };
}

} // namespace dim
