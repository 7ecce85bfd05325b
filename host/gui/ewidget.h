// The widget tree: every window and control of the host is an eWidget.
#pragma once
#include <atomic>
#include <list>
#include <host/gui/estring.h>
#include <host/gui/geometry.h>
#include <host/gui/gpixmap.h>
#include <host/gui/sigc.h>

class gPainter;
class eWidget;

// Remote-control keys, as delivered with keyDown/keyUp events.
enum eRCKey {
  key0 = 0, key1, key2, key3, key4, key5, key6, key7, key8, key9,
  keyUp = 10, keyDown, keyLeft, keyRight, keyOk, keyExit, keyRed, keyGreen, keyYellow, keyBlue, keyMenu
};

class eWidgetEvent {
public:
  enum eventType {
    keyDown = 1, keyUp = 2, willShow = 3, execDone = 4, gotFocus = 5, lostFocus = 6,
    changedText = 7, changedFont = 8, changedForegroundColor = 9, changedBackgroundColor = 10,
    changedSize = 11, changedPosition = 12, changedPixmap = 13, willHide = 14, evtAction = 15,
    evtShortcut = 16, wantClose = 17
  };
  explicit eWidgetEvent(int t, int p = 0) : type(t), parameter(p) {}
  int type;
  int parameter;    // the eRCKey of key events
};

class eWidget : public SigC::Object {
public:
  // parent: owner (may be 0 for top-level windows, which hang below the desktop);
  // takefocus: whether the widget can hold the focus.
  explicit eWidget(eWidget* parent = nullptr, int takefocus = 0);
  virtual ~eWidget();
  eWidget(const eWidget&) = delete;
  eWidget& operator=(const eWidget&) = delete;

  // Geometry: position in the parent's client area; size of the whole widget.
  void move(ePoint position);
  void resize(eSize size);
  void cmove(ePoint clientPosition);    // places the client area (inside the decoration)
  void cresize(eSize clientSize);
  ePoint getPosition() const { return position; }
  eSize getSize() const { return size; }
  const eRect& getClientRect() const { return clientrect; }
  eSize getClientSize() const { return clientrect.size(); }
  ePoint getAbsolutePosition() const;   // top-left on the screen

  void setName(const char* name);
  const eString& getName() const { return name; }
  eWidget* search(const eString& name);  // a descendant by name, or 0

  void show();
  void hide();
  bool isVisible() const;     // shown and all ancestors shown
  int getState() const;

  void setText(const eString& text);
  const eString& getText() const;
  void setFont(const gFont& font);
  const gFont& getFont() const;
  void setForegroundColor(const gColor& color, bool inv = true);
  void setBackgroundColor(const gColor& color, bool inv = true);
  gColor getForegroundColor() const;
  gColor getBackgroundColor() const;
  void setShortcut(const eString& key);      // "red", "green", "1", ...: pressing it selects the widget
  const eString& getShortcut() const { return shortcut; }
  void setHelpText(const eString& text) { helptext = text; }

  void setFocus(eWidget* focus);             // on a window: which child has the focus
  eWidget* getFocus() const { return focus; }
  void focusNext(int direction);             // 0: next, 1: previous (within the window)
  bool haveFocus() const;

  // Asks for a repaint; an empty rectangle means the whole widget. Any thread.
  void invalidate(eRect area = eRect(), int force = 0);

  // Modal run: returns the code given to close().
  int exec();
  void close(int result);
  void accept();              // close(0)
  void reject();              // a close request (event 17): windows then close(-1)
  bool isInExec() const { return inExec; }

  eWidget* getParent() const { return parent; }
  eWidget* getTLW();          // the top-level window this widget belongs to
  const std::list<eWidget*>& getChildren() const { return children; }

  virtual int eventHandler(const eWidgetEvent& event);
  virtual int setProperty(const eString& prop, const eString& value);
  int event(const eWidgetEvent& event);      // delivers through eventFilter and eventHandler

  // The host's virtual slots.
  virtual void willShow();
  virtual void willHide();
  virtual void setPalette();
  virtual int eventFilter(const eWidgetEvent& event);   // non-zero: consumed
  virtual int keyDown(int key);
  virtual int keyUp(int key);
  virtual void gotFocus();
  virtual void lostFocus();
  virtual void recalcClientRect();
  virtual void redrawWidget(gPainter* painter, const eRect& area);
  virtual void eraseBackground(gPainter* painter, const eRect& area);

protected:
  eWidget* parent;
  eString name, text, helptext, shortcut;
  ePoint position;
  eSize size;
  eRect clientrect;           // inner area, in widget coordinates
  gFont font;
  gColor foregroundColor, backgroundColor;
  bool hasForeground = false, hasBackground = false;
  int takefocus;
  eWidget* focus = nullptr;   // windows: the focused child
  int state = 0;              // bit 0: shown
  bool inExec = false;

private:
  std::list<eWidget*> children;
  std::atomic<unsigned> repaints{0};
  friend class eToolkit;
};
