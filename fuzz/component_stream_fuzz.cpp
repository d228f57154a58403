// Feeds arbitrary bytes to the component-stream reader (into a component
// with every kind of property, children and references) and to the text
// dumper. Whatever the bytes, both either succeed or raise a stream error,
// never read outside the stream, and leave no reading state behind; a
// component that was read writes a stream that reads back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/exceptions.h"
#include "platform/filer.h"
#include "platform/stream.h"
#include "tests/platform/filer_test_classes.h"

using namespace qv;
using namespace qv::test;

namespace {

void CheckNotReading(TComponent& C) {
    if (C.ComponentState() & (csLoading | csReading)) std::abort();
    for (int i = 0; i < C.ComponentCount(); ++i) CheckNotReading(*C.Components(i));
}

void Read(const std::string& Bytes) {
    TStreamItem form;
    form.SetName("Form");
    auto* root = new TStreamItem(&form);
    root->SetName("Root");
    root->WriteChildren = true;
    auto* sibling = new TStreamOther(&form);
    sibling->SetName("Sibling");
    TMemoryStream s(Bytes);
    bool ok = true;
    try {
        ReadComponent(s, root);
    } catch (const EStreamError&) {
        ok = false;
    }
    CheckNotReading(form);
    if (!ok) return;
    TMemoryStream out;
    try {
        WriteComponent(out, root);
    } catch (const EWriteError&) {
        return;  // a value the writer cannot hold (a name beyond 255 bytes)
    }
    out.SetPosition(0);
    TStreamItem again;
    again.WriteChildren = true;
    ReadComponent(out, &again);
    out.SetPosition(0);
    ComponentStreamToText(out);
}

void Dump(const std::string& Bytes) {
    TMemoryStream s(Bytes);
    try {
        ComponentStreamToText(s);
    } catch (const EReadError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 1)
        Dump(bytes);
    else
        Read(bytes);
    return 0;
}
