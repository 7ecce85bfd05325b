// Decorated widgets and text labels.
#pragma once
#include <host/gui/ewidget.h>

// A widget whose border and background come from a named decoration of the skin.
class eDecoWidget : public eWidget {
public:
  eDecoWidget(eWidget* parent = nullptr, int takefocus = 0, const char* deco = "");
  int loadDeco();                          // 1 when the skin has the decoration
  void setDeco(const char* deco);
  const eString& getDeco() const { return decoName; }
  int setProperty(const eString& prop, const eString& value) override;
  void recalcClientRect() override;
protected:
  eString decoName;
  bool decoLoaded = false;
  int decoBorder = 0;
};

class eLabel : public eDecoWidget {
public:
  enum { flagVCenter = 64 };
  eLabel(eWidget* parent, int flags = 0, int takefocus = 0, const char* deco = "eLabel");
  void setFlags(int flags);
  void setAlign(int align);                // gPainter::RT_HALIGN_*
  // The small picture of the shortcut key ("red", "green", ...) drawn in front of the text.
  void setShortcutPixmap(const eString& shortcut);
  const eString& getShortcutPixmap() const { return shortcutPixmap; }
  void redrawWidget(gPainter* painter, const eRect& area) override;
  int setProperty(const eString& prop, const eString& value) override;
protected:
  int flags;
  int align = 0;
  eString shortcutPixmap;
};
