#include "documents/DocumentState.h"
#include "documents/FileName.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quantaro {
namespace {

TEST(DocumentStateTest, StartsUntitledAndUnchanged) {
    DocumentState state;
    EXPECT_EQ(state.caption(), "QUANTARO - Untitled.FOR -- Untitled.CON -- Untitled.VAR");
    EXPECT_FALSE(state.anyChanged());
    EXPECT_EQ(state.usedRows(Document::Constants), 0);
}

TEST(DocumentStateTest, TheCaptionShowsOnlyTheLastComponentOfEachName) {
    DocumentState state;
    state.setFileName(Document::Formula, "/home/ann/work/bridge.FOR");
    state.setFileName(Document::Constants, "C:\\data\\steel.CON");
    state.setFileName(Document::Variables, "A:beam.VAR");
    EXPECT_EQ(state.caption(), "QUANTARO - bridge.FOR -- steel.CON -- beam.VAR");
    // A byte that is not UTF-8 shows as itself, not as another character.
    state.setFileName(Document::Variables, FileNameFromBytes("/home/ann/caf\xE9.VAR"));
    EXPECT_EQ(state.caption(), "QUANTARO - bridge.FOR -- steel.CON -- caf\\xE9.VAR");
}

TEST(DocumentStateTest, TheCaptionIsAnnouncedOnlyWhenRebuilt) {
    DocumentState state;
    QSignalSpy announced(&state, &DocumentState::captionChanged);
    state.setFileName(Document::Formula, "/tmp/x.FOR");
    EXPECT_EQ(announced.count(), 0);
    state.rebuildCaption();
    ASSERT_EQ(announced.count(), 1);
    EXPECT_EQ(announced.at(0).at(0).toString(), "QUANTARO - x.FOR -- Untitled.CON -- Untitled.VAR");
}

// Each document has a flag of its own; any one of them set counts as a change.
TEST(DocumentStateTest, EachDocumentHasItsOwnChangedFlag) {
    const Document documents[] = {Document::Formula, Document::Constants, Document::Variables};
    for (const Document changed : documents) {
        DocumentState state;
        state.setChanged(changed);
        for (const Document document : documents) {
            EXPECT_EQ(state.isChanged(document), document == changed);
        }
        EXPECT_TRUE(state.anyChanged());
        state.setChanged(changed, false);
        EXPECT_FALSE(state.anyChanged());
    }
}

}  // namespace
}  // namespace quantaro
