#pragma once
// Drives an exporter over a text model with the styles and colours the editor control
// paints it in, and saves the highlighted text as an HTML page or an RTF document.
#include "core/export/code_exporter.h"
#include "core/syntax/text_styles.h"
#include "core/text/memo_source.h"

#include <string>

namespace marlo {

// The title of an exported page: the component name of a document's text model.
inline constexpr const char* kExportTitle = "MemoSource";

// A big text is coloured from the top first and then formatted in pieces of about this
// many lines, two at a time side by side, when the format allows it (see
// TCodeExporter::Fork); a text of fewer lines than two pieces is formatted in one go.
inline int ExportPieceLines = 16384;

// Exports the whole text of `source`. `control` holds the editor control's own font and
// background; `colorSyntax` says whether the control colours the text (it needs a syntax
// parser on the model as well). Lines not yet coloured are coloured on the way.
void ExportText(TCodeExporter& exporter, TCustomMemoSource& source, const TTextStyles& styles,
                const TMemoColors& control, bool colorSyntax,
                const std::string& title = kExportTitle);

// Write the export to `fileName` through a temporary file and a rename, so that a failed
// write leaves an existing file whole. Raise Error with the file name and the reason.
void SaveToHTML(const std::string& fileName, TCustomMemoSource& source, const TTextStyles& styles,
                const TMemoColors& control, bool colorSyntax);
void SaveToRTF(const std::string& fileName, TCustomMemoSource& source, const TTextStyles& styles,
               const TMemoColors& control, bool colorSyntax);

enum class TExportFormat { None, HTML, RTF };
// What a save under `fileName` writes: ".RTF" gives RTF, ".HTM" and ".HTML" give HTML,
// letter case aside; anything else is a plain save of the source.
TExportFormat ExportFormatOfName(const std::string& fileName);

} // namespace marlo
