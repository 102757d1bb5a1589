#include "platform/os/oem_charset.h"

#include "platform/rtl/codepages.h"

namespace {

template <class Map>
void MapBytes(const char* source, char* destination, std::uint32_t length, Map map) {
  for (std::uint32_t i = 0; i < length; ++i)
    destination[i] = static_cast<char>(map(static_cast<unsigned char>(source[i])));
}

template <class Map>
bool MapZeroTerminated(const char* source, char* destination, Map map) {
  if (!source || !destination) return false;
  std::uint32_t i = 0;
  for (; source[i] != '\0'; ++i) destination[i] = static_cast<char>(map(static_cast<unsigned char>(source[i])));
  destination[i] = '\0';
  return true;
}

}  // namespace

bool CharToOemBuff(const char* source, char* destination, std::uint32_t length) {
  if (length > 0 && (!source || !destination)) return false;
  MapBytes(source, destination, length, [](unsigned char b) { return vx::Cp1251ToCp866(b); });
  return true;
}

bool OemToCharBuff(const char* source, char* destination, std::uint32_t length) {
  if (length > 0 && (!source || !destination)) return false;
  MapBytes(source, destination, length, [](unsigned char b) { return vx::Cp866ToCp1251(b); });
  return true;
}

bool CharToOem(const char* source, char* destination) {
  return MapZeroTerminated(source, destination, [](unsigned char b) { return vx::Cp1251ToCp866(b); });
}

bool OemToChar(const char* source, char* destination) {
  return MapZeroTerminated(source, destination, [](unsigned char b) { return vx::Cp866ToCp1251(b); });
}

std::uint32_t CharUpperBuff(char* text, std::uint32_t length) {
  if (!text) return 0;
  MapBytes(text, text, length, [](unsigned char b) { return vx::Cp1251Upper(b); });
  return length;
}

std::uint32_t CharLowerBuff(char* text, std::uint32_t length) {
  if (!text) return 0;
  MapBytes(text, text, length, [](unsigned char b) { return vx::Cp1251Lower(b); });
  return length;
}

char* CharUpper(char* text) {
  MapZeroTerminated(text, text, [](unsigned char b) { return vx::Cp1251Upper(b); });
  return text;
}

char* CharLower(char* text) {
  MapZeroTerminated(text, text, [](unsigned char b) { return vx::Cp1251Lower(b); });
  return text;
}
