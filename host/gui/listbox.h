// List boxes of text entries; an entry carries an integer key as void*.
#pragma once
#include <list>
#include <host/gui/elabel.h>

class eListBoxBase;

class eListBoxEntry {
public:
  explicit eListBoxEntry(eListBoxBase* parent, const eString& helptext = eString(), int selectable = 1);
  virtual ~eListBoxEntry();
  virtual const eString& getText() const = 0;
  virtual bool operator<(const eListBoxEntry& other) const;
  eListBoxBase* getListBox() const { return listbox; }
  bool isSelectable() const { return selectable != 0; }
protected:
  eListBoxBase* listbox;
  eString helptext;
  int selectable;
};

class eListBoxBase : public eDecoWidget {
public:
  eListBoxBase(eWidget* parent, const eWidget* descr = nullptr, int takefocus = 1,
               int item_height = 0, const char* deco = "eListBox");
  ~eListBoxBase() override;

  eListBoxEntry* goNext();           // moves the current entry on; returns the new current
  eListBoxEntry* goPrev();
  // Makes entry current; sendSelected: also report it as selected.
  int setCurrent(const eListBoxEntry* entry, bool sendSelected = false);
  eListBoxEntry* getCurrentEntry() const;
  int getCount() const;
  void beginAtomic();                // no repaint until endAtomic
  void endAtomic();
  void sort();                       // by the entries' operator<, stable
  void clearList();
  const std::list<eListBoxEntry*>& entryList() const { return entries; }

  int eventHandler(const eWidgetEvent& event) override;
  void redrawWidget(gPainter* painter, const eRect& area) override;

  // Called by entries.
  void append(eListBoxEntry* entry);
  void take(eListBoxEntry* entry);
protected:
  // Hooks for the typed signals of eListBox<T>.
  virtual void emitSelchanged(eListBoxEntry* entry) = 0;
  virtual void emitSelected(eListBoxEntry* entry) = 0;
  const eWidget* descr;
  int itemHeight;
  std::list<eListBoxEntry*> entries;
  eListBoxEntry* current = nullptr;
  int atomic = 0;
  int top = 0;                       // index of the first visible entry
  friend class eToolkit;
};

template <class T>
class eListBox : public eListBoxBase {
public:
  eListBox(eWidget* parent, const eWidget* descr = nullptr, int takefocus = 1,
           int item_height = 0, const char* deco = "eListBox")
      : eListBoxBase(parent, descr, takefocus, item_height ? item_height : T::getEntryHeight(), deco) {}
  T* goNext() { return static_cast<T*>(eListBoxBase::goNext()); }
  T* goPrev() { return static_cast<T*>(eListBoxBase::goPrev()); }
  T* getCurrent() const { return static_cast<T*>(getCurrentEntry()); }

  SigC::Signal1<void, T*> selchanged;   // the current entry changed (the new one)
  SigC::Signal1<void, T*> selected;     // OK on an entry
protected:
  void emitSelchanged(eListBoxEntry* e) override { selchanged.emit(static_cast<T*>(e)); }
  void emitSelected(eListBoxEntry* e) override { selected.emit(static_cast<T*>(e)); }
};

class eListBoxEntryText : public eListBoxEntry {
public:
  eListBoxEntryText(eListBox<eListBoxEntryText>* lb, const char* text = nullptr, void* key = nullptr,
                    int align = 0, const eString& helptext = eString(), int keytype = 0);
  eListBoxEntryText(eListBox<eListBoxEntryText>* lb, const eString& text, void* key = nullptr,
                    int align = 0, const eString& helptext = eString(), int keytype = 0);
  const eString& getText() const override { return text; }
  void setText(const eString& t);
  void* getKey() const { return key; }
  int getAlign() const { return align; }
  bool operator<(const eListBoxEntry& other) const override;
  static int getEntryHeight();
protected:
  eString text;
  void* key;
  int align;
  int keytype;    // 0: integer key, compared by text when sorting
};
