#pragma once
// What the data module keeps for its configuration-file container.
#include "iodata.h"

#include "files/ConfigContainer.h"

struct TStreamDati::ContainerState {
    qz::files::TConfigContainer files;
};
