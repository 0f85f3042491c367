#pragma once
// A small streaming JSON writer for the harness's state dump. Keys and values alternate inside
// objects; commas are placed automatically.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);
  JsonWriter& Int(std::int64_t v);
  // 17 significant digits, so the value reads back exactly.
  JsonWriter& Real(double v);
  JsonWriter& Bool(bool v);
  JsonWriter& String(std::string_view v);
  JsonWriter& Null();

  // Key and value in one call.
  JsonWriter& Field(std::string_view key, std::int64_t v) { return Key(key).Int(v); }
  JsonWriter& FieldReal(std::string_view key, double v) { return Key(key).Real(v); }
  JsonWriter& FieldBool(std::string_view key, bool v) { return Key(key).Bool(v); }
  JsonWriter& FieldString(std::string_view key, std::string_view v) { return Key(key).String(v); }

  const std::string& str() const { return out_; }

 private:
  void BeforeValue();
  void WriteString(std::string_view v);
  std::string out_;
  std::vector<bool> first_;  // per open container: no element written yet
  bool after_key_ = false;
};

}  // namespace qv
