#include "WindowTexts.h"

QString ItalianWaitText(int number)
{
    switch (number) {
    case 30:
        return QStringLiteral("Caricamento dati in corso");
    case 31:
        return QStringLiteral("Scaricamento dati in centralina");
    case 32:
        return QStringLiteral("Salvataggio dati in corso");
    case 43:
        return QStringLiteral("Programmazione in corso");
    case 51:
        return QStringLiteral("Inizializzazione centralina in corso");
    case 241:
        return QStringLiteral("Scrittura dati di configurazione in corso");
    default:
        return {};
    }
}
