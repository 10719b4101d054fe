#pragma once
// File > Import stern from DXF...: the import of "propclear import" with its
// choices in a dialog (layers, tolerance, corner angle, units, origin) and a
// preview of the drawing with the contour and rudder traced from it. The
// contour and rudder replace the open design's, as one undo step; the
// propeller and waterline stay.

#include <QMenu>
#include <filesystem>

namespace propclear {

class DesignDocument;

// Adds "Import stern from DXF..." to `menu`, which asks for the drawing and
// goes on as importSternFrom; the dialogs' parent is `window`.
void addImportSternAction(QMenu* menu, QWidget* window, DesignDocument& document);

// The dialog on `drawing`, for the open design (the example's when none is
// open). Returns whether the stern was imported; a drawing that cannot be
// read is shown in a message box.
bool importSternFrom(QWidget* window, DesignDocument& document,
                     const std::filesystem::path& drawing);

}  // namespace propclear
