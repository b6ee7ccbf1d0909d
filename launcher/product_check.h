// The check that the game data the launcher can reach belongs to this product.
#pragma once

#include "archive/oc_archive.h"

// Opens "script\product.ini" through archive (loose or in a pak) and tells
// whether its name under "製品情報" is this product's, letter case aside.
// archive stays open on the file (or its pak) for the caller to release.
// Passes on what Open throws (Abort in the file-error dialog, broken paks).
bool IsThisProduct(OCArchive& archive);
