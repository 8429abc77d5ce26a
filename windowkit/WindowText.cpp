#include "windowkit/WindowText.h"

#include "Translator.h"
#include "iodata.h"

namespace wkit {

QString Text(int number)
{
    return StreamDati && StreamDati->Translator ? StreamDati->Translator->GetString(number) : QString();
}

} // namespace wkit
