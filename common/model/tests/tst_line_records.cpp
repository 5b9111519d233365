#include "model/SPin.h"
#include "model/SPtnObj.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

// Records on one line are read in one pass over their bytes, others word by word. A blank before
// the first field means nothing to the words but sends a record the word-by-word way, so each
// random record is read both ways and must give the same result and leave the reader at the
// same word.
namespace {

struct Outcome {
    bool ok = false;
    std::string result; // the record written back
    SPin pin;
    std::string next;
    int32_t line = 0;
};

std::string writtenPin(const SPin& pin) {
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    pin.write(writer);
    return out;
}

Outcome readRecord(const std::string& text) {
    STagReader reader;
    reader.attachString(text);
    std::string opening;
    reader.readWord(opening);
    Outcome o;
    if (opening == "+PIN") {
        o.ok = o.pin.read(reader, 3);
        o.result = writtenPin(o.pin);
    } else {
        const std::unique_ptr<SPtnObj> object = SPtnObj::createForSection(opening);
        o.ok = object->read(reader);
        std::string out;
        STagWriter writer;
        writer.attachString(&out);
        object->write(writer);
        o.result = out;
    }
    o.line = reader.readWord(o.next);
    return o;
}

TEST(LineRecords, ReadAsWordsWouldReadThem) {
    struct Kind {
        const char* opening;
        const char* closing;
        std::vector<std::string> fields;
    };
    const std::vector<std::string> common = {"",    "Q",    ":x", "%41:1",     "W:2", "S:1",
                                             "X:3", "Y:-4", "X:", "+Z,N:1,-Z", "-Q",  "K:\r\nX:5"};
    const Kind kinds[] = {
        {"+PIN",
         "-PIN",
         {"N:A\\B", "N:", "N:P%2C1", "L:R12", "L:X", "L:", "L:T300", "T:ZSNCm", "T:", "M:1",
          "M:", "M:22", "M:" + std::string(200, '7')}},
        {"+L", "-L", {"F:1"}},
        {"+C", "-C", {"F:2"}},
        {"+PG", "-PG", {"N:3", "N:2", "N:0", "F:0", "X:1", "Y:1"}},
        {"+AR", "-AR", {"R:5", "B:10", "E:-3"}},
        {"+TX", "-TX", {"S:Hi", "S:", "A:1", "D:0", "FN:Mono", "FS:12", "FF:BI", "S:a:b"}},
    };
    std::mt19937 random(3);
    for (const Kind& kind : kinds) {
        for (int round = 0; round < 800; ++round) {
            std::string body;
            const int count = static_cast<int>(random() % 14);
            for (int i = 0; i < count; ++i) {
                const bool own = random() % 3 != 0;
                body += (own ? kind.fields[random() % kind.fields.size()]
                             : common[random() % common.size()]) +
                        ",";
            }
            const std::string tail = std::string(kind.closing) + (random() % 2 ? "\r\nnext" : "");
            const std::string text = std::string(kind.opening) + "," + body + tail;
            SCOPED_TRACE(text);
            const Outcome quick = readRecord(text);
            const Outcome slow = readRecord(std::string(kind.opening) + ", " + body + tail);
            EXPECT_EQ(quick.ok, slow.ok);
            EXPECT_EQ(quick.result, slow.result);
            EXPECT_TRUE(quick.pin == slow.pin);
            EXPECT_EQ(quick.next, slow.next);
            EXPECT_EQ(quick.line, slow.line);
        }
    }
}

} // namespace
