// The grid's type-ahead search as state and rules, apart from the control:
// which typed characters start or extend it, which keys it takes while it
// runs, and what becomes of the typed text after each search step. The
// control asks it, runs the step it names (through the dataset in grid mode)
// and reports back whether the step found a row.
//
// Invariants: while inactive the text is empty and the column is -1; the
// text never holds a character below 32; the in-search count is never
// negative and is above zero only for the duration of a step.
#pragma once

#include "text/AnsiString.h"

namespace grid {

// Where a search step looks: from the focused row on, backwards from the
// row before it, or forwards from the row after it.
enum class SearchDirection { FromFocused = 0, Previous = 1, Next = 2 };

// What the control does for a key while the search runs.
struct SearchKeyResult {
    enum Kind {
        NotTaken,  // the key goes on to navigation
        Step,      // run a search step with `text` and `direction` (text may be empty: finds nothing)
        End,       // end the search
    };
    Kind kind = NotTaken;
    SearchDirection direction = SearchDirection::FromFocused;
};

class IncrementalSearch {
public:
    bool active() const { return m_active; }
    // The absolute index of the column searched, -1 while inactive.
    int column() const { return m_column; }
    // The characters typed so far that matched (CP1251).
    const AnsiString& text() const { return m_text; }
    // Above zero while the grid moves the focus for the search: such a move does not end it.
    bool in_search() const { return m_in_search > 0; }

    // Whether a typed character starts a search: none runs, no mouse
    // operation is in progress, the option is set, Ctrl is up, and the
    // character is not Backspace, Tab, Enter or Esc.
    static bool starts(char ch, bool auto_search, bool ctrl, bool mouse_idle, bool searching);
    // Starts a search of `column` with an empty text.
    void start(int column);
    void end();

    // A character typed while searching, after the key-press event: appends
    // it and returns true when a search step from the focused row must run
    // (without clearing on failure). A character below 32, or one typed with
    // Ctrl held, is not appended. A focused column other than the searched
    // one restarts the text in the focused column.
    bool type(char ch, bool ctrl, int focused_column);
    // A key pressed while searching (Backspace, Delete, Enter with Shift or
    // Ctrl, Esc); other keys are not taken. A focused column other than the
    // searched one restarts the text first.
    SearchKeyResult key(int vk, bool shift, bool ctrl, int focused_column);

    // Brackets a step: the focus moves it makes do not end the search.
    void begin_step() { ++m_in_search; }
    void end_step() { --m_in_search; }
    // The outcome of a step: a failed one from the focused row drops the
    // character just typed (or the whole text with clear_on_failure); a
    // failed step to the previous or next match keeps the text.
    void after_step(bool found, SearchDirection direction, bool clear_on_failure);

#ifndef NDEBUG
    void check_invariants() const;
#endif

private:
    void follow_column(int focused_column);

    bool m_active = false;
    int m_column = -1;
    AnsiString m_text;
    int m_in_search = 0;
};

}  // namespace grid
