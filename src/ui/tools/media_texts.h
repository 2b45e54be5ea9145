#pragma once
// The media browser's and viewers' own texts: from the language table, in English when
// the language file lacks them.
#include "ui/app/main_form.h"

#include <string_view>
#include <utility>

namespace marlo {

inline QString MediaText(const TMainForm& main, std::string_view key) {
  static const std::pair<std::string_view, const char*> kEnglish[] = {
      {"MediaViewerCaption", "Media Viewer"},
      {"MediaBrowserCaption", "Media Browser"},
      {"MediaBrowserPreviewButton", "Preview"},
      {"MediaBrowserInsertButton", "Insert"},
      {"MediaBrowserAbsolute", "Insert Absolute Path"},
      {"OKbutton", "OK"},
      {"MediaFolderNotFound", "This folder cannot be found or read."},
      {"MediaNoMidi", "cannot be played here: the built-in player has no MIDI music. Choose a "
                      "MIDI viewer program in the options."},
      {"MediaNoSound", "no sound device was found"},
      {"MediaNoPlayer", "cannot be played here: this Marlo was built without a media player. "
                        "Choose a viewer program in the options."},
  };
  const std::string& text = main.LanguageText(key);
  if (!text.empty()) return main.ToQString(text);
  for (const auto& [k, english] : kEnglish)
    if (k == key) return QString::fromUtf8(english);
  return {};
}

} // namespace marlo
