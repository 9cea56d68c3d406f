#include "XMLTestSupport.h"

#include <platform/desktop.h>

#include <pthread.h>

#include <cstdio>
#include <fstream>

namespace xmltest {

void runWithStack(std::size_t stackBytes, const std::function<void()>& work) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  ASSERT_EQ(0, pthread_attr_setstacksize(&attributes, stackBytes));
  pthread_t thread;
  auto run = [](void* argument) -> void* {
    (*static_cast<const std::function<void()>*>(argument))();
    return nullptr;
  };
  ASSERT_EQ(0, pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&work)));
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(file.good()) << "could not write " << path;
}

std::vector<std::string> debugLines() { return platform::desktop::debugOutput(); }

void clearDebugLines() {
  platform::desktop::reset();
  platform::desktop::setEcho(false);
}

std::string idOf(const lib::xerces::XMLElement* element) {
  if (!element) {
    return "(null)";
  }
  const char* id = element->getAttribute("id");
  return id ? id : "(no id)";
}

std::string hierarchyLine(const std::string& path, const void* result) {
  char pointer[64];
  std::snprintf(pointer, sizeof pointer, "%p", result);
  return "hierarchy : " + path + " => " + pointer + "\n";
}

void XMLFileTest::SetUp() {
  platform::desktop::reset();
  platform::desktop::setEcho(false);
  ASSERT_NO_THROW(directory_.emplace("xml"));
  lib::xerces::XMLManager::initialize();
}

void XMLFileTest::TearDown() {
  manager_.unload();
  lib::xerces::XMLManager::terminate();
  directory_.reset();
  platform::desktop::setEcho(true);
}

bool XMLFileTest::loadConfig(const std::string& bytes) {
  writeFile("config.xml", bytes);
  bool loaded = manager_.load("config.xml");
  clearDebugLines();
  return loaded;
}

}  // namespace xmltest
