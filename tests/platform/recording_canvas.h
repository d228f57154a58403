// A canvas for tests: every drawing call is recorded as one readable line,
// e.g. "FillRect(0,0,10,10) brush=$00FFFFFF", and text is measured with
// fixed metrics (CharWidth per character, LineHeight per line) so that
// layout results are predictable.
#pragma once

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/graphic.h"

namespace qv::test {

class TRecordingCanvas : public TCanvas {
public:
    std::vector<std::string> Calls;
    int32_t CharWidth = 6;
    int32_t LineHeight = 13;
    // The lines the last DrawText laid out (after breaking).
    std::vector<std::string> LastLines;

    void Clear() { Calls.clear(); }
    // The recorded calls that start with Prefix.
    std::vector<std::string> CallsStartingWith(const std::string& Prefix) const {
        std::vector<std::string> r;
        for (const auto& c : Calls)
            if (c.rfind(Prefix, 0) == 0) r.push_back(c);
        return r;
    }

    static std::string Hex(uint32_t V) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(V));
        return buf;
    }
    static std::string Str(const TRect& R) {
        return "(" + std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
               std::to_string(R.Bottom) + ")";
    }
    static std::string Str(TPoint P) { return "(" + std::to_string(P.X) + "," + std::to_string(P.Y) + ")"; }

    std::string BrushText() const {
        return Brush().Style() == bsClear ? "brush=clear" : "brush=" + Hex(uint32_t(Brush().Color()));
    }
    std::string PenText() const {
        static const char* styles[] = {"solid", "dash", "dot", "dashdot", "dashdotdot", "clear"};
        return "pen=" + Hex(uint32_t(Pen().Color())) + " w" + std::to_string(Pen().Width()) + " " +
               styles[Pen().Style()];
    }
    std::string FontText() const {
        std::string s = "font=" + Font().Name() + "," + std::to_string(Font().Height()) + "," +
                        Hex(uint32_t(Font().Color()));
        const char* names[] = {"bold", "italic", "underline", "strikeout"};
        for (int i = 0; i < 4; ++i)
            if (Font().Style().Contains(static_cast<TFontStyle>(i))) s += std::string(",") + names[i];
        return s;
    }

    void FillRect(const TRect& R) override { Calls.push_back("FillRect" + Str(R) + " " + BrushText()); }

    void PolyPolyline(const std::vector<TPoint>& Points, const std::vector<int32_t>& Counts) override {
        std::string s = "PolyPolyline";
        size_t at = 0;
        for (int32_t c : Counts) {
            s += "[";
            for (int32_t k = 0; k < c && at < Points.size(); ++k, ++at) s += (k ? "-" : "") + Str(Points[at]);
            s += "]";
        }
        Calls.push_back(s + " " + PenText());
    }

    void Polygon(const std::vector<TPoint>& Points) override {
        std::string s = "Polygon(";
        for (size_t i = 0; i < Points.size(); ++i) s += (i ? "," : "") + Str(Points[i]);
        Calls.push_back(s + ") " + BrushText() + " " + PenText());
    }

    int32_t DrawText(const std::string& Text, TRect& R, TDrawTextFlags Flags) override {
        LastLines = Layout(Text, R.Width(), Flags);
        int32_t width = 0;
        for (const auto& l : LastLines) width = std::max(width, TextWidth(l));
        const int32_t height = static_cast<int32_t>(LastLines.size()) * LineHeight;
        const bool calc = (Flags & DT_CALCRECT) != 0;
        Calls.push_back(std::string(calc ? "CalcText" : "DrawText") + "(\"" + Text + "\"," + Str(R) + "," +
                        Hex(Flags) + ") " + FontText());
        if (calc) {
            if (!(Flags & DT_WORDBREAK) || (Flags & DT_SINGLELINE)) R.Right = R.Left + width;
            R.Bottom = R.Top + height;
        }
        return height;
    }

    TSize TextExtent(const std::string& Text) override {
        return {CharWidth * static_cast<int32_t>(Text.size()), LineHeight};
    }

    void DrawEdge(TRect& R, TEdgeKind Edge, TEdgeFlags Flags) override {
        Calls.push_back("DrawEdge" + Str(R) + " edge=" + std::to_string(Edge) + " flags=" + Hex(Flags));
        if (Flags & BF_ADJUST) {
            const int32_t w = ((Edge & BDR_OUTER) ? 1 : 0) + ((Edge & BDR_INNER) ? 1 : 0);
            if (Flags & BF_LEFT) R.Left += w;
            if (Flags & BF_TOP) R.Top += w;
            if (Flags & BF_RIGHT) R.Right -= w;
            if (Flags & BF_BOTTOM) R.Bottom -= w;
        }
    }
    void DrawFrameControl(const TRect& R, TFrameControlKind Kind, TFrameControlState State) override {
        Calls.push_back("DrawFrameControl" + Str(R) + " kind=" + std::to_string(Kind) + " state=" + Hex(State));
    }
    void DrawFocusRect(const TRect& R) override { Calls.push_back("DrawFocusRect" + Str(R)); }
    void InvertRect(const TRect& R) override { Calls.push_back("InvertRect" + Str(R)); }
    void StretchDraw(const TRect& R, const TGraphic& G) override {
        Calls.push_back("StretchDraw" + Str(R) + " " + G.ClassName() + " " + std::to_string(G.Width()) + "x" +
                        std::to_string(G.Height()));
    }
    void SetClipRect(const TRect& R) override { Calls.push_back("SetClipRect" + Str(R)); }
    void IntersectClipRect(const TRect& R) override { Calls.push_back("IntersectClipRect" + Str(R)); }
    void ExcludeClipRect(const TRect& R) override { Calls.push_back("ExcludeClipRect" + Str(R)); }
    void ResetClip() override { Calls.push_back("ResetClip"); }

protected:
    void DrawLine(TPoint From, TPoint To) override {
        Calls.push_back("Line" + Str(From) + "-" + Str(To) + " " + PenText());
    }
    void SaveClip() override { Calls.push_back("Save"); }
    void RestoreClip() override { Calls.push_back("Restore"); }

private:
    // Splits into lines at line feeds (unless single-line) and, with word
    // breaking, greedily at spaces so that each line fits Width.
    std::vector<std::string> Layout(const std::string& Text, int32_t Width, TDrawTextFlags Flags) {
        std::vector<std::string> paragraphs;
        if (Flags & DT_SINGLELINE) {
            paragraphs.push_back(Text);
        } else {
            std::string line;
            for (char c : Text) {
                if (c == '\r') continue;
                if (c == '\n') {
                    paragraphs.push_back(line);
                    line.clear();
                } else {
                    line += c;
                }
            }
            paragraphs.push_back(line);
        }
        if (!(Flags & DT_WORDBREAK) || (Flags & DT_SINGLELINE)) return paragraphs;
        std::vector<std::string> lines;
        for (const auto& p : paragraphs) {
            std::istringstream words(p);
            std::string word, line;
            while (words >> word) {
                const std::string candidate = line.empty() ? word : line + " " + word;
                if (!line.empty() && TextWidth(candidate) > Width) {
                    lines.push_back(line);
                    line = word;
                } else {
                    line = candidate;
                }
            }
            lines.push_back(line);
        }
        return lines;
    }
};

}  // namespace qv::test
