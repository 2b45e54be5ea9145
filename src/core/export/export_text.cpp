#include "core/export/export_text.h"

#include "core/export/code_html_exporter.h"
#include "core/export/code_rtf_exporter.h"
#include "core/platform/atomic_file_writer.h"
#include "core/platform/file_system.h"
#include "core/text/char_case.h"
#include "core/text/line_color_reader.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <ostream>
#include <thread>
#include <utility>
#include <vector>

namespace marlo {

namespace {

// How a style byte's characters are painted outside a selection.
struct TLook {
  const TTextFont* Font;
  TColor Back;
  bool Upper;
  int Points; // Font's size, worked out once
  int NameId; // equal for equal font names

  bool PaintedLike(const TLook& o) const {
    return *Font == *o.Font && Back == o.Back && Upper == o.Upper;
  }
};

// The look of every style byte, and for each byte the first byte that looks the same:
// neighbouring characters of one class form one run.
class TLookTable {
public:
  // Characters past the end of a short style string get this index.
  static constexpr int kNoStyle = 256;

  TLookTable(const TTextStyles& styles, const TMemoColors& control) {
    for (int b = 0; b <= kNoStyle; ++b) {
      const TTextStyle* s = b < kNoStyle ? styles.Find(b) : nullptr;
      looks_[b] = s ? TLook{&s->Font(), s->Color(), s->UpperCase(), 0, 0}
                    : TLook{&control.Font, control.Color, false, 0, 0};
      looks_[b].Points = looks_[b].Font->Size();
      looks_[b].NameId = NameId(looks_[b].Font->Name);
      class_[b] = static_cast<uint16_t>(b);
      for (int e = 0; e < b; ++e) {
        if (class_[e] == e && looks_[e].PaintedLike(looks_[b])) {
          class_[b] = static_cast<uint16_t>(e);
          break;
        }
      }
    }
  }

  const TLook& Look(int style) const { return looks_[style]; }
  uint16_t Class(int style) const { return class_[style]; }
  const TLook& Control() const { return looks_[kNoStyle]; }

private:
  int NameId(const std::string& name) {
    for (size_t i = 0; i < names_.size(); ++i)
      if (*names_[i] == name) return static_cast<int>(i);
    names_.push_back(&name);
    return static_cast<int>(names_.size() - 1);
  }

  std::vector<const std::string*> names_;
  std::array<TLook, kNoStyle + 1> looks_;
  std::array<uint16_t, kNoStyle + 1> class_;
};

// The attributes one run opened, to be closed in the reverse order.
struct TOpened {
  bool Name = false, Size = false, Bold = false, Italic = false, Underline = false,
       StrikeOut = false, TextColor = false, BackColor = false;
};

TOpened OpenRun(TCodeExporter& ex, const TLook& look, const TLook* prev, const TLook& control,
                TColor prevBack) {
  const TTextFont& f = *look.Font;
  TOpened o;
  o.Name = !prev || look.NameId != prev->NameId || look.NameId != control.NameId;
  o.Size = !prev || look.Points != prev->Points || look.Points != control.Points;
  o.TextColor = !prev || f.Color != prev->Font->Color || f.Color != control.Font->Color;
  o.BackColor = look.Back != prevBack || look.Back != control.Back;
  o.Bold = f.Style.Has(fsBold);
  o.Italic = f.Style.Has(fsItalic);
  o.Underline = f.Style.Has(fsUnderline);
  o.StrikeOut = f.Style.Has(fsStrikeOut);
  if (o.Name) ex.BeginFontName(f.Name, f.CharSet);
  if (o.Size) ex.BeginFontSize(f.Size());
  if (o.Bold) ex.BeginBold();
  if (o.Italic) ex.BeginItalic();
  if (o.Underline) ex.BeginUnderline();
  if (o.StrikeOut) ex.BeginStrikeOut();
  if (o.TextColor) ex.BeginTextColor(f.Color);
  if (o.BackColor) ex.BeginBackColor(look.Back);
  return o;
}

void CloseRun(TCodeExporter& ex, const TOpened& o) {
  if (o.BackColor) ex.EndBackColor();
  if (o.TextColor) ex.EndTextColor();
  if (o.StrikeOut) ex.EndStrikeOut();
  if (o.Underline) ex.EndUnderline();
  if (o.Italic) ex.EndItalic();
  if (o.Bold) ex.EndBold();
  if (o.Size) ex.EndFontSize();
  if (o.Name) ex.EndFontName();
}

// Writes the runs of line `line` and returns the last line it took care of: the empty
// lines right after it are written inside its last run.
int ExportColoredLine(TCodeExporter& ex, const TCustomMemoSource& source, std::string_view colors,
                      const TLookTable& table, int line) {
  std::string_view text = source.StoredLine(line);
  const size_t length = text.size();
  const size_t colored = std::min(colors.size(), length);
  auto styleAt = [&](size_t i) {
    return i < colored ? static_cast<int>(static_cast<unsigned char>(colors[i]))
                       : TLookTable::kNoStyle;
  };

  const TLook* prev = nullptr;
  TColor prevBack = table.Control().Back;
  for (size_t from = 0; from < length;) {
    const int style = styleAt(from);
    const uint16_t cls = table.Class(style);
    size_t to = from + 1;
    while (to < colored && table.Class(static_cast<unsigned char>(colors[to])) == cls) ++to;
    if (to >= colored) {
      while (to < length && table.Class(TLookTable::kNoStyle) == cls) ++to;
    }

    const TLook& look = table.Look(style);
    TOpened opened = OpenRun(ex, look, prev, table.Control(), prevBack);
    ex.WriteText(text.substr(from, to - from));
    if (to == length) {
      while (line + 1 < source.LineCount() && source.StoredLine(line + 1).empty()) {
        ex.NewLine();
        ++line;
      }
    }
    CloseRun(ex, opened);
    prev = &look;
    prevBack = look.Back;
    from = to;
  }
  return line;
}

// The styles of every line of a text, coloured in one pass from the top (states flow down),
// cut into pieces that start at non-empty lines: a line's run takes the empty lines after
// it, so no piece starts inside another's.
struct TColoredText {
  struct TPiece {
    int First;
    size_t Offset;     // of the first line's styles in Styles
    size_t ShortIndex; // of the first entry of Short at or after First
  };
  std::string Styles; // of each line, as many bytes as it has characters or styles if fewer
  std::vector<std::pair<int, size_t>> Short; // lines with fewer styles than characters
  std::vector<TPiece> Pieces;
};

TColoredText ColorWholeText(TCustomMemoSource& source, int pieceLines) {
  TColoredText t;
  const int count = source.LineCount();
  size_t bytes = 0;
  for (int i = 0; i < count; ++i) bytes += source.StoredLine(i).size();
  t.Styles.reserve(bytes);
  t.Pieces.push_back({0, 0, 0});
  TLineColorReader reader(source); // the cache is read, not filled
  long long nextPiece = pieceLines;
  for (int i = 0; i < count; ++i) {
    const size_t length = source.StoredLine(i).size();
    if (i >= nextPiece && length > 0) {
      t.Pieces.push_back({i, t.Styles.size(), t.Short.size()});
      nextPiece = static_cast<long long>(i) + pieceLines;
    }
    std::string_view colors = reader.Colors(i);
    if (colors.size() < length) t.Short.emplace_back(i, colors.size());
    t.Styles.append(colors.substr(0, length));
  }
  return t;
}

void FormatPiece(TCodeExporter& ex, const TCustomMemoSource& source, const TLookTable& table,
                 const TColoredText& colored, size_t piece) {
  const TColoredText::TPiece& p = colored.Pieces[piece];
  const int end =
      piece + 1 < colored.Pieces.size() ? colored.Pieces[piece + 1].First : source.LineCount();
  size_t offset = p.Offset, shortIndex = p.ShortIndex;
  for (int i = p.First; i < end; ++i) {
    if (i > 0) ex.NewLine();
    size_t n = source.StoredLine(i).size();
    if (shortIndex < colored.Short.size() && colored.Short[shortIndex].first == i)
      n = colored.Short[shortIndex++].second;
    std::string_view colors(colored.Styles.data() + offset, n);
    offset += n;
    i = ExportColoredLine(ex, source, colors, table, i); // the lines it took are empty
  }
}

// Formats the pieces two at a time, each thread with an exporter of its own that keeps its
// piece until it is that piece's turn to be written.
void FormatPieces(TCodeExporter& ex, const TCustomMemoSource& source, const TLookTable& table,
                  const TColoredText& colored) {
  ex.Flush();
  const size_t count = colored.Pieces.size();
  std::mutex mutex;
  std::condition_variable turnTaken;
  size_t turn = 0;
  bool failed = false;
  std::exception_ptr failure;
  auto work = [&](size_t first) {
    try {
      std::unique_ptr<TCodeExporter> fork = ex.Fork(ex.Stream());
      for (size_t piece = first; piece < count; piece += 2) {
        FormatPiece(*fork, source, table, colored, piece);
        std::unique_lock lock(mutex);
        turnTaken.wait(lock, [&] { return turn == piece || failed; });
        if (failed) return;
        fork->Flush();
        if (piece + 1 == count) ex.Continue(*fork);
        ++turn;
        turnTaken.notify_all();
      }
    } catch (...) {
      std::lock_guard lock(mutex);
      failed = true;
      if (!failure) failure = std::current_exception();
      turnTaken.notify_all();
    }
  };
  std::thread helper(work, 1);
  work(0);
  helper.join();
  if (failure) std::rethrow_exception(failure);
}

bool FormatsSideBySide(TCodeExporter& ex, const TCustomMemoSource& source) {
  return ExportPieceLines > 0 && source.LineCount() >= 2LL * ExportPieceLines &&
         std::thread::hardware_concurrency() >= 2 && ex.Fork(ex.Stream()) != nullptr;
}

template <class TExporter>
void SaveExport(const std::string& fileName, TCustomMemoSource& source, const TTextStyles& styles,
                const TMemoColors& control, bool colorSyntax) {
  platform::AtomicFileWriter file(fileName);
  {
    TExporter exporter(file.Stream());
    ExportText(exporter, source, styles, control, colorSyntax);
  }
  file.Commit();
}

} // namespace

void ExportText(TCodeExporter& ex, TCustomMemoSource& source, const TTextStyles& styles,
                const TMemoColors& control, bool colorSyntax, const std::string& title) {
  const bool coloring = colorSyntax && source.SyntaxParser() != nullptr;
  const TTextFont& font = control.Font;

  ex.BeginDocument(title);
  ex.BeginBody(control.Color);
  // The control's own font is around the whole text; without colouring it carries the
  // font styles too, as the control paints plain text in it.
  TOpened outer;
  outer.Name = outer.Size = outer.TextColor = true;
  if (!coloring) {
    outer.Bold = font.Style.Has(fsBold);
    outer.Italic = font.Style.Has(fsItalic);
    outer.Underline = font.Style.Has(fsUnderline);
    outer.StrikeOut = font.Style.Has(fsStrikeOut);
  }
  ex.BeginFontName(font.Name, font.CharSet);
  ex.BeginFontSize(font.Size());
  if (outer.Bold) ex.BeginBold();
  if (outer.Italic) ex.BeginItalic();
  if (outer.Underline) ex.BeginUnderline();
  if (outer.StrikeOut) ex.BeginStrikeOut();
  ex.BeginTextColor(font.Color);

  if (coloring) {
    const TLookTable table(styles, control);
    if (FormatsSideBySide(ex, source)) {
      FormatPieces(ex, source, table, ColorWholeText(source, ExportPieceLines));
    } else {
      TLineColorReader reader(source);
      for (int i = 0; i < source.LineCount(); ++i) {
        if (i > 0) ex.NewLine();
        i = ExportColoredLine(ex, source, reader.Colors(i), table, i);
      }
    }
  } else {
    for (int i = 0; i < source.LineCount(); ++i) {
      if (i > 0) ex.NewLine();
      std::string_view text = source.StoredLine(i);
      if (!text.empty()) ex.WriteText(text);
    }
  }

  CloseRun(ex, outer);
  ex.EndBody();
  ex.EndDocument();
  ex.Flush();
}

void SaveToHTML(const std::string& fileName, TCustomMemoSource& source, const TTextStyles& styles,
                const TMemoColors& control, bool colorSyntax) {
  SaveExport<TCodeHTMLExporter>(fileName, source, styles, control, colorSyntax);
}

void SaveToRTF(const std::string& fileName, TCustomMemoSource& source, const TTextStyles& styles,
               const TMemoColors& control, bool colorSyntax) {
  SaveExport<TCodeRTFExporter>(fileName, source, styles, control, colorSyntax);
}

TExportFormat ExportFormatOfName(const std::string& fileName) {
  std::string ext = UpperCaseText(platform::ExtractFileExt(fileName));
  if (ext == ".RTF") return TExportFormat::RTF;
  if (ext == ".HTM" || ext == ".HTML") return TExportFormat::HTML;
  return TExportFormat::None;
}

} // namespace marlo
