#include "texts/tooltexts.h"

#include "model/curvetext.h"
#include "texts/texts.h"

#include <array>

namespace dim {

namespace {

using Row = std::array<const char *, 4>; // German, English, French, Spanish

const std::array<Row, static_cast<size_t>(ToolText::Count)> kTexts{{
    {"&Kopieren", "&Copy", "&Copier", "&Copiar"},
    {"&Einfügen", "&Paste", "C&oller", "&Pegar"},
    {"15 Minuten früher", "15 minutes earlier", "15 minutes plus tôt", "15 minutos antes"},
    {"15 Minuten später", "15 minutes later", "15 minutes plus tard", "15 minutos después"},
    {"1 Stunde früher", "1 hour earlier", "1 heure plus tôt", "1 hora antes"},
    {"1 Stunde später", "1 hour later", "1 heure plus tard", "1 hora después"},
    {"&Skalieren...", "&Scale...", "&Mettre à l'échelle...", "&Escalar..."},
    {"&Glätten", "S&mooth", "&Lisser", "&Suavizar"},
    {"&Füllen...", "&Fill...", "&Remplir...", "&Rellenar..."},
    {"&Löschen", "C&lear", "&Effacer", "&Borrar"},
    {"&Tageslichtkurve...", "&Daylight curve...", "Courbe de &jour...", "Curva de luz &diurna..."},
    {"D&urchgehende Striche", "C&ontinuous strokes", "Traits co&ntinus", "Trazos co&ntinuos"},
    {"Skalieren", "Scale", "Mettre à l'échelle", "Escalar"},
    {"Prozent:", "Percent:", "Pourcentage :", "Porcentaje:"},
    {"Füllen", "Fill", "Remplir", "Rellenar"},
    {"Wert:", "Value:", "Valeur :", "Valor:"},
    {"Prozent (0-100)", "percent (0-100)", "pourcentage (0-100)", "porcentaje (0-100)"},
    {"Stufe (0-255)", "level (0-255)", "niveau (0-255)", "nivel (0-255)"},
    {"Tageslichtkurve", "Daylight curve", "Courbe de jour", "Curva de luz diurna"},
    {"Beginn:", "Start:", "Début :", "Inicio:"},
    {"Ende:", "End:", "Fin :", "Fin:"},
    {"Rampe (Minuten):", "Ramp (minutes):", "Rampe (minutes) :", "Rampa (minutos):"},
    {"Spitze (%):", "Peak (%):", "Maximum (%) :", "Pico (%):"},
    {"Grundwert (%):", "Base (%):", "Base (%) :", "Base (%):"},
    {"Zeiten wie eingegeben", "Times as typed", "Heures saisies", "Horas escritas"},
    {"Zeiten der Sonne", "Times of the sun", "Heures du soleil", "Horas del sol"},
    {"Ort:", "Place:", "Lieu :", "Lugar:"},
    {"Breite (°, Nord +):", "Latitude (°, north +):", "Latitude (°, nord +) :",
     "Latitud (°, norte +):"},
    {"Länge (°, Ost +):", "Longitude (°, east +):", "Longitude (°, est +) :",
     "Longitud (°, este +):"},
    {"Datum:", "Date:", "Date :", "Fecha:"},
    {"Abstand zu UTC:", "UTC offset:", "Décalage UTC :", "Diferencia con UTC:"},
    {"Verschieben (Minuten):", "Shift (minutes):", "Déplacer (minutes) :", "Desplazar (minutos):"},
    {"Sonnenaufgang %1, Sonnenuntergang %2, Tageslänge %3", "Sunrise %1, sunset %2, day length %3",
     "Lever du soleil %1, coucher %2, durée du jour %3",
     "Salida del sol %1, puesta %2, duración del día %3"},
    {"Polartag: die Sonne geht nicht unter.", "Polar day: the sun does not set.",
     "Jour polaire : le soleil ne se couche pas.", "Día polar: el sol no se pone."},
    {"Polarnacht: die Sonne geht nicht auf.", "Polar night: the sun does not rise.",
     "Nuit polaire : le soleil ne se lève pas.", "Noche polar: el sol no sale."},
    {"Bitte eine Zahl von %1 bis %2.", "Please type a number from %1 to %2.",
     "Veuillez saisir un nombre de %1 à %2.", "Escriba un número de %1 a %2."},
    {"Lizard Island (Great Barrier Reef)", "Lizard Island (Great Barrier Reef)",
     "Lizard Island (Grande Barrière de corail)", "Isla Lizard (Gran Barrera de Coral)"},
    {"Eilat (Rotes Meer)", "Eilat (Red Sea)", "Eilat (mer Rouge)", "Eilat (mar Rojo)"},
    {"Belize-Barriereriff", "Belize Barrier Reef", "Barrière de corail du Belize",
     "Barrera de Coral de Belice"},
    {"Malawisee", "Lake Malawi", "Lac Malawi", "Lago Malaui"},
    {"Tanganjikasee", "Lake Tanganyika", "Lac Tanganyika", "Lago Tanganica"},
    {"Manaus (Amazonas)", "Manaus (Amazon)", "Manaus (Amazonie)", "Manaos (Amazonas)"},
    {"Bali", "Bali", "Bali", "Bali"},
    {"Eigener Ort", "My own place", "Mon propre lieu", "Mi propio lugar"},
    {"Eingewöhnungs&reihe...", "&Acclimation series...", "Série d'&acclimatation...",
     "Secuencia de &aclimatación..."},
    {"Eingewöhnungsreihe", "Acclimation series", "Série d'acclimatation",
     "Secuencia de aclimatación"},
    {"Beginn (% der Kurven):", "Start (% of the curves):", "Début (% des courbes) :",
     "Inicio (% de las curvas):"},
    {"Anzahl der Dateien:", "Number of files:", "Nombre de fichiers :", "Número de archivos:"},
    {"Dateien: %1 bis %2", "Files: %1 to %2", "Fichiers : %1 à %2", "Archivos: %1 a %2"},
    {"Ordner für die Eingewöhnungsreihe", "Folder for the acclimation series",
     "Dossier de la série d'acclimatation", "Carpeta de la secuencia de aclimatación"},
    {"%1 Dateien in %2 geschrieben:", "%1 files written to %2:", "%1 fichiers écrits dans %2 :",
     "%1 archivos escritos en %2:"},
    {"Einfügen nicht möglich", "Cannot paste", "Collage impossible", "No se puede pegar"},
    {"Die Zwischenablage enthält keine Kurve.", "The clipboard holds no curve.",
     "Le presse-papiers ne contient aucune courbe.", "El portapapeles no contiene ninguna curva."},
    {"Leeres Feld nach %1 Werten.", "Empty field after %1 values.", "Champ vide après %1 valeurs.",
     "Campo vacío después de %1 valores."},
    {"Leeres Feld nach %1 Wert.", "Empty field after %1 value.", "Champ vide après %1 valeur.",
     "Campo vacío después de %1 valor."},
    {"Wert %1 ist keine ganze Zahl: \"%2\".", "Value %1 is not a whole number: \"%2\".",
     "La valeur %1 n'est pas un nombre entier : « %2 ».",
     "El valor %1 no es un número entero: «%2»."},
    {"Wert %1 liegt nicht zwischen 0 und 255: %2.", "Value %1 is not between 0 and 255: %2.",
     "La valeur %1 n'est pas comprise entre 0 et 255 : %2.",
     "El valor %1 no está entre 0 y 255: %2."},
    {"Nur %1 Werte; eine Kurve hat 96.", "Only %1 values; a curve has 96.",
     "Seulement %1 valeurs ; une courbe en a 96.", "Solo %1 valores; una curva tiene 96."},
    {"Nur %1 Wert; eine Kurve hat 96.", "Only %1 value; a curve has 96.",
     "Seulement %1 valeur ; une courbe en a 96.", "Solo %1 valor; una curva tiene 96."},
    {"Mehr als 96 Werte; eine Kurve hat 96.", "More than 96 values; a curve has 96.",
     "Plus de 96 valeurs ; une courbe en a 96.", "Más de 96 valores; una curva tiene 96."},
    {"Dimmkurven", "Dimming curves", "Courbes de gradation", "Curvas de atenuación"},
    {"Tagesverlauf von Weiss, Blau, Wolken und Mond in 96 Viertelstunden. Links und rechts "
     "wählen die Zeit, Bild auf und ab den Kanal, auf und ab ändern den Wert, Ziffern und "
     "Eingabe setzen Prozent.",
     "The day of white, blue, clouds and moon in 96 quarter-hours. Left and right choose the "
     "time, Page Up and Page Down the channel, Up and Down change the level, digits and Return "
     "set a percentage.",
     "La journée du blanc, du bleu, des nuages et de la lune en 96 quarts d'heure. Gauche et "
     "droite choisissent l'heure, Page précédente et suivante le canal, haut et bas changent la "
     "valeur, les chiffres et Entrée fixent un pourcentage.",
     "El día del blanco, el azul, las nubes y la luna en 96 cuartos de hora. Izquierda y "
     "derecha eligen la hora, Re Pág y Av Pág el canal, arriba y abajo cambian el valor, las "
     "cifras e Intro fijan un porcentaje."},
    {"höchstens 100 %", "at most 100 %", "100 % au maximum", "100 % como máximo"},
    {"Wert", "Level", "Valeur", "Valor"},
    {"Die Kurven wurden geändert. Sollen die Änderungen gespeichert werden?",
     "The curves have been changed. Do you want to save the changes?",
     "Les courbes ont été modifiées. Voulez-vous enregistrer les modifications ?",
     "Las curvas han cambiado. ¿Desea guardar los cambios?"},
    {"Der Editor wurde beendet, ohne seine Kurven zu speichern. Sollen die ungespeicherten "
     "Kurven wiederhergestellt werden?",
     "The editor ended without saving its curves. Do you want to restore the unsaved curves?",
     "L'éditeur s'est arrêté sans enregistrer ses courbes. Voulez-vous restaurer les courbes "
     "non enregistrées ?",
     "El editor terminó sin guardar sus curvas. ¿Desea recuperar las curvas no guardadas?"},
    {"&Wiederherstellen", "&Restore", "&Restaurer", "&Recuperar"},
    {"Wiederherstellen", "Restore", "Restaurer", "Recuperar"},
    {"Bitte eine ganze Zahl von %1 bis %2.", "Please type a whole number from %1 to %2.",
     "Veuillez saisir un nombre entier de %1 à %2.", "Escriba un número entero de %1 a %2."},
    {"Sprache", "Language", "Langue", "Idioma"},
    {"Dimmkurven-Editor", "Dimming curve editor", "Éditeur de courbes de gradation",
     "Editor de curvas de atenuación"},
    {"Zeichnen", "Draw", "Dessin", "Dibujo"},
    {"Wolkentempo", "Cloud speed", "Vitesse des nuages", "Velocidad de las nubes"},
    {"Laden", "Load", "Chargement", "Carga"},
    {"Neu", "New", "Nouveau", "Nuevo"},
    {"Tag &abspielen", "Pla&y the day", "Jo&uer la journée", "Reprod&ucir el día"},
    {"Licht&bilanz...", "Light &budget...", "&Bilan lumineux...", "Balance de &luz..."},
    {"Lichtbilanz", "Light budget", "Bilan lumineux", "Balance de luz"},
    {"Kanal", "Channel", "Canal", "Canal"},
    {"Leuchtdauer", "Lit time", "Durée allumée", "Tiempo encendido"},
    {"Längste Dunkelphase", "Longest dark", "Plus longue obscurité", "Oscuridad más larga"},
    {"Volllaststunden", "Full-power hours", "Heures à pleine puissance", "Horas a plena potencia"},
    {"Watt bei 100 %", "Watts at 100 %", "Watts à 100 %", "Vatios al 100 %"},
    {"Energie (Wh/Tag)", "Energy (Wh/day)", "Énergie (Wh/jour)", "Energía (Wh/día)"},
    {"PPFD bei 100 % (µmol/m²/s)", "PPFD at 100 % (µmol/m²/s)", "PPFD à 100 % (µmol/m²/s)",
     "PPFD al 100 % (µmol/m²/s)"},
    {"DLI (mol/m²/Tag)", "DLI (mol/m²/day)", "DLI (mol/m²/jour)", "DLI (mol/m²/día)"},
    {"Summe", "Total", "Total", "Total"},
    {"Die Werte zählen linear in Licht und Leistung, wie ein PWM-Tastgrad.",
     "Levels count as linear in light and power, as a PWM duty cycle is.",
     "Les niveaux comptent comme linéaires en lumière et en puissance, comme un rapport "
     "cyclique PWM.",
     "Los niveles cuentan como lineales en luz y potencia, como un ciclo de trabajo PWM."},
    {"Abgelehnt: bitte eine Zahl ab 0 eingeben, etwa 40 oder 2,5.",
     "Refused: please type a number of 0 or more, such as 40 or 2.5.",
     "Refusé : veuillez saisir un nombre supérieur ou égal à 0, comme 40 ou 2,5.",
     "Rechazado: escriba un número mayor o igual que 0, por ejemplo 40 o 2,5."},
}};

} // namespace

QString StepText(ToolText text, int language) {
    QString name = GetToolText(text, language);
    name.remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1String("...")))
        name.chop(3);
    return name;
}

QString GetToolText(ToolText text, int language) {
    if (language < 0 || language > 3)
        language = 1;
    return QString::fromUtf8(kTexts[static_cast<size_t>(text)][static_cast<size_t>(language)]);
}

namespace {

// A count in the form the language takes for it: French counts 0 and 1 as singular, the
// others only 1.
QString Counted(ToolText one, ToolText many, int count, int language) {
    const bool singular = language == 2 ? count <= 1 : count == 1;
    return GetToolText(singular ? one : many, language).arg(count);
}

} // namespace

PasteRefusalText RefusedPasteText(const ClipboardRefusal &refusal, int language) {
    const auto value = [&](ToolText text) {
        return GetToolText(text, language).arg(refusal.count + 1).arg(ShownInput(refusal.token));
    };
    QString reason;
    switch (refusal.problem) {
    case ClipboardProblem::Empty:
        reason = GetToolText(ToolText::PasteEmpty, language);
        break;
    case ClipboardProblem::EmptyField:
        reason = Counted(ToolText::PasteEmptyFieldOne, ToolText::PasteEmptyField, refusal.count,
                         language);
        break;
    case ClipboardProblem::NotNumber:
        reason = value(ToolText::PasteNotNumber);
        break;
    case ClipboardProblem::OutOfRange:
        reason = value(ToolText::PasteOutOfRange);
        break;
    case ClipboardProblem::TooFew:
        reason = Counted(ToolText::PasteTooFewOne, ToolText::PasteTooFew, refusal.count, language);
        break;
    case ClipboardProblem::TooMany:
        reason = GetToolText(ToolText::PasteTooMany, language);
        break;
    }
    return {GetToolText(ToolText::PasteRefused, language), reason};
}

} // namespace dim
