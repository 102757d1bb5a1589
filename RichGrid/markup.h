// Formatted cell text: a small HTML-like mark-up drawn, measured and
// hit-tested by one routine, and stripped to plain text.
//
// Tags (names and attributes without regard to case, values in double
// quotes): <A href> links, <B> <I> <U> <S> styles, <BR> line break, <HR>
// rule, <FONT face color bgcolor size>, <P align bgcolor> paragraphs, <UL>
// <LI> lists, <IND x> indent, <IMG src width height align> images (idx:n of
// the image list, file://path, res://name, ssys:/lsys: system icons), <SUB>
// <SUP>, <SHAD> shadow, <R a> rotation, <Z> hidden text, <BLINK>, <BODY
// background bgcolor>. A link's target is only reported: opening it is the
// caller's (the shell facade opens only web and mail addresses). Entities &lt; &gt; &amp; &quot;; "<#...>" shows its
// text. Colours by name ("clRed", system colours such as "clBtnFace") or as
// "#RRGGBB"; a '#' value that is short or not hexadecimal changes nothing.
//
// Each line is laid out twice from one snapshot of the formatting state:
// first measured (width, height, sub- and superscript room, image text
// offset, alignment), then drawn or hit-tested in its aligned rectangle,
// taking exactly the items the measuring took. The renderer keeps no state
// between calls and gives the canvas its font, brush and pen back.
// Font sizes are points at the canvas font's resolution, so on a printer
// canvas the text comes out the size it has on screen. <R a> turns the text
// by a degrees (the font's orientation).
#pragma once

#include "platform/gui/draw/bitmap.h"
#include "platform/gui/draw/canvas.h"

// Draws (or, with measureOnly, only measures; with hitTestOnly, only tests
// the point against the links) the mark-up text in rect. width and height
// receive the size of the laid-out text (height at least one line of "gh");
// plainText the text of all runs, CR for <BR>; linkUnderPoint the target of
// the link under (pointX, pointY). In printMode images are scaled by
// scaleFactor. With selected, link and font colours are not applied (the
// cell keeps its selection colours). blinkOn is the phase of <BLINK> text.
// Returns true when the point lies over a link (hit-test mode).
bool DrawMarkup(TCanvas* canvas, const AnsiString& text, const TRect& rect, TImageList* images, int pointX, int pointY,
                bool hitTestOnly, bool measureOnly, bool printMode, bool selected, bool blinkOn, double scaleFactor,
                TColor linkColor, AnsiString& linkUnderPoint, AnsiString& plainText, int& width, int& height);

// "<BR>" and "<HR>" (any case) become CR LF, then every '<' with all up to
// the next '>' is removed; from a '<' without '>' after it the text stays.
AnsiString StripMarkup(const AnsiString& text);

// A colour attribute value: a name holding "cl" (looked up lower-cased;
// unknown names are black) or "#RRGGBB"; anything else, or a '#' value that
// is short or not hexadecimal, gives `current`.
TColor MarkupColor(const AnsiString& value, TColor current);
