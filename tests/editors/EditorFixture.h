#pragma once

#include "EditorDriver.h"
#include "LoadedImage.h"

#include <QTest>
#include <memory>

// For a test class of one editor window: a fresh store and `Form` on it,
// shown and active, for each test function.
template <class Form> class EditorFixture {
protected:
    std::unique_ptr<LoadedImage> image;
    std::unique_ptr<Form> form;

    Core& core() const { return image->core; }
    EditorDriver driver() const { return EditorDriver(form.get()); }

    // Call from the test class's init() and cleanup().
    void openEditor() {
        image = std::make_unique<LoadedImage>();
        form = std::make_unique<Form>(image->core);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void closeEditor() {
        form.reset();
        image.reset();
    }
};
