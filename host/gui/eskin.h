// Skins: palette, colours, schemes, decorations and window descriptions from an XML file.
#pragma once
#include <host/gui/ewidget.h>

typedef eWidget* (*tWidgetCreator)(eWidget* parent);

class eSkin {
public:
  eSkin();
  ~eSkin();
  // Parses the skin file; 0 on success, else an error (logged with file, line and reason).
  int load(const char* filename);
  // Places and configures the named children of widget from the window description name.
  // 0 on success; non-zero when the description is missing or a child cannot be configured.
  int build(eWidget* widget, const char* name);

  // The skin loaded most recently (or made active); never 0 once a skin was loaded.
  static eSkin* getActive();
  void makeActive();

  gColor queryColor(const eString& name) const;    // a named palette colour
  gColor queryScheme(const eString& name) const;   // a colour by role, e.g. "eProgress.left"
  gRGB paletteEntry(int index) const;
  const gPalette& getPalette() const;
  // Decorations (border images/colours) by name, for eDecoWidget.
  bool hasDeco(const eString& name) const;

  static void addWidgetCreator(const eString& name, tWidgetCreator creator);
  static void removeWidgetCreator(const eString& name, tWidgetCreator creator);

  class Impl;
private:
  friend struct eSkinPeek;
  Impl* d;
};
