#include "WindowText.h"

#include "complib/translator/Translator.h"
#include "datamodule/core/iodata.h"

namespace wkit {

QString Text(int number)
{
    return StreamDati && StreamDati->Translator ? StreamDati->Translator->GetString(number) : QString();
}

} // namespace wkit
