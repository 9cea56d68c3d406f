#include "hosts/gtk/ShellOpen.h"

#include <shellapi.h>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace platform {
namespace gtk {

namespace {

template <typename Object>
struct GObjectUnref {
  void operator()(Object* object) const { g_object_unref(object); }
};
template <typename Object>
using GObjectPtr = std::unique_ptr<Object, GObjectUnref<Object>>;

struct GFreeDeleter {
  void operator()(void* memory) const { g_free(memory); }
};
using GText = std::unique_ptr<char, GFreeDeleter>;

// A scheme of one letter is a drive ("C:\..."), not a URI.
bool hasScheme(const std::string& file) {
  GText scheme(g_uri_parse_scheme(file.c_str()));
  return scheme && std::string(scheme.get()).size() > 1;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool hasExecutableContent(const std::string& path) {
  gboolean uncertain = FALSE;
  GText type(g_content_type_guess(path.c_str(), nullptr, 0, &uncertain));
  GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
  GObjectPtr<GFileInfo> info(
      g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE, G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
  const char* sniffed = info ? g_file_info_get_content_type(info.get()) : nullptr;
  return g_content_type_can_be_executable(sniffed ? sniffed : type.get());
}

std::string folderOf(const std::string& path) {
  GText folder(g_path_get_dirname(path.c_str()));
  return folder.get();
}

DWORD failed(GError* error, DWORD code, std::string& why) {
  why = error ? error->message : "it could not be opened";
  if (error) {
    g_error_free(error);
  }
  return code;
}

// Runs in the child between fork and exec: a session of its own, so that
// neither the terminal's Ctrl+C nor its hang-up reaches it.
void ownSession(gpointer) { setsid(); }

bool launchApplication(GAppInfo* application, GList* uris, GAppLaunchContext* context, GError** error) {
  if (G_IS_DESKTOP_APP_INFO(application)) {
    return g_desktop_app_info_launch_uris_as_manager(G_DESKTOP_APP_INFO(application), uris, context,
                                                     G_SPAWN_SEARCH_PATH, ownSession, nullptr, nullptr, nullptr,
                                                     error);
  }
  return g_app_info_launch_uris(application, uris, context, error);
}

struct UriLaunch {
  std::string uri;
  GObjectPtr<GAppLaunchContext> context;
};

void launchWithHandler(GObject* file, GAsyncResult* result, gpointer data) {
  std::unique_ptr<UriLaunch> launch(static_cast<UriLaunch*>(data));
  GError* error = nullptr;
  GObjectPtr<GAppInfo> handler(g_file_query_default_handler_finish(G_FILE(file), result, &error));
  GList uris = {const_cast<char*>(launch->uri.c_str()), nullptr, nullptr};
  if (handler && launchApplication(handler.get(), &uris, launch->context.get(), &error)) {
    return;
  }
  std::string why;
  failed(error, 0, why);
  std::fprintf(stderr, "%s: cannot open \"%s\": %s\n", g_get_prgname(), launch->uri.c_str(), why.c_str());
}

// The handler is found without waiting (a folder's type may take a slow
// disk to tell), and launched when it is known.
DWORD launchDefaultForUri(const std::string& uri, GAppLaunchContext* context) {
  GObjectPtr<GFile> file(g_file_new_for_uri(uri.c_str()));
  GObjectPtr<GAppLaunchContext> held(context ? G_APP_LAUNCH_CONTEXT(g_object_ref(context)) : nullptr);
  UriLaunch* launch = new UriLaunch{uri, std::move(held)};
  g_file_query_default_handler_async(file.get(), G_PRIORITY_DEFAULT, nullptr, launchWithHandler, launch);
  return 0;
}

DWORD launchDesktopFile(const std::string& path, GAppLaunchContext* context, std::string& why) {
  GObjectPtr<GDesktopAppInfo> application(g_desktop_app_info_new_from_filename(path.c_str()));
  if (!application) {
    why = "it is not a usable .desktop entry";
    return ERROR_BAD_FORMAT;
  }
  GError* error = nullptr;
  if (!launchApplication(G_APP_INFO(application.get()), nullptr, context, &error)) {
    return failed(error, ERROR_BAD_FORMAT, why);
  }
  return 0;
}

// The startup notification a launch context gives an application, given by
// hand to a program spawned directly: DESKTOP_STARTUP_ID in its
// environment. Empty without a context.
std::string startupId(const std::string& path, GAppLaunchContext* context) {
  if (!context) {
    return "";
  }
  GText commandLine(g_shell_quote(path.c_str()));
  GObjectPtr<GAppInfo> application(g_app_info_create_from_commandline(
      commandLine.get(), nullptr, G_APP_INFO_CREATE_SUPPORTS_STARTUP_NOTIFICATION, nullptr));
  GText id(application ? g_app_launch_context_get_startup_notify_id(context, application.get(), nullptr) : nullptr);
  return id ? id.get() : "";
}

DWORD runExecutable(const ShellRequest& request, const std::string& path, GAppLaunchContext* context,
                    std::string& why) {
  gchar** parameters = nullptr;
  GError* error = nullptr;
  if (request.hasParameters && !request.parameters.empty() &&
      !g_shell_parse_argv(request.parameters.c_str(), nullptr, &parameters, &error)) {
    return failed(error, ERROR_INVALID_PARAMETER, why);
  }
  std::vector<gchar*> arguments{const_cast<gchar*>(path.c_str())};
  for (gchar** parameter = parameters; parameter && *parameter; ++parameter) {
    arguments.push_back(*parameter);
  }
  arguments.push_back(nullptr);
  std::string folder = request.hasDirectory && !request.directory.empty() ? request.directory : folderOf(path);
  std::string id = startupId(path, context);
  gchar** environment = context ? g_app_launch_context_get_environment(context) : g_get_environ();
  if (!id.empty()) {
    environment = g_environ_setenv(environment, "DESKTOP_STARTUP_ID", id.c_str(), TRUE);
  }
  gboolean started = g_spawn_async(folder.c_str(), arguments.data(), environment, G_SPAWN_DEFAULT, ownSession,
                                   nullptr, nullptr, &error);
  g_strfreev(environment);
  g_strfreev(parameters);
  if (!started) {
    if (!id.empty()) {
      g_app_launch_context_launch_failed(context, id.c_str());
    }
    return failed(error, ERROR_ACCESS_DENIED, why);
  }
  return 0;
}

std::string uriOf(const std::string& path) {
  GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
  GText uri(g_file_get_uri(file.get()));
  return uri.get();
}

}  // namespace

std::string locate(const std::string& file, const std::string& directory) {
  if (file.empty() || hasScheme(file)) {
    return file;
  }
  GText base(directory.empty() ? g_get_current_dir() : g_canonicalize_filename(directory.c_str(), nullptr));
  GText path(g_canonicalize_filename(file.c_str(), base.get()));
  if (file.find('/') == std::string::npos && access(path.get(), F_OK) != 0) {
    GText onPath(g_find_program_in_path(file.c_str()));
    if (onPath) {
      return onPath.get();
    }
  }
  return path.get();
}

ShellTarget classify(const std::string& path) {
  if (hasScheme(path)) {
    return ShellTarget::uri;
  }
  struct stat status;
  if (path.empty() || stat(path.c_str(), &status) != 0) {
    return ShellTarget::missing;
  }
  if (S_ISDIR(status.st_mode)) {
    return ShellTarget::folder;
  }
  if (endsWith(path, ".desktop")) {
    return ShellTarget::desktopFile;
  }
  if (access(path.c_str(), X_OK) == 0 && hasExecutableContent(path)) {
    return ShellTarget::executable;
  }
  return ShellTarget::document;
}

// Only "open" (or no verb, which means it) is a verb this desktop has.
DWORD openWithShell(const ShellRequest& request, GAppLaunchContext* context, std::string& why) {
  if (!request.verb.empty() && request.verb != "open") {
    why = "the verb \"" + request.verb + "\" is not supported";
    return SE_ERR_NOASSOC;
  }
  std::string path = locate(request.file, request.hasDirectory ? request.directory : "");
  switch (classify(path)) {
    case ShellTarget::uri:
      return launchDefaultForUri(path, context);
    case ShellTarget::desktopFile:
      return launchDesktopFile(path, context, why);
    case ShellTarget::executable:
      return runExecutable(request, path, context, why);
    case ShellTarget::folder:
    case ShellTarget::document:
      return launchDefaultForUri(uriOf(path), context);
    case ShellTarget::missing:
      break;
  }
  why = "there is no such file";
  return ERROR_FILE_NOT_FOUND;
}

}  // namespace gtk
}  // namespace platform
