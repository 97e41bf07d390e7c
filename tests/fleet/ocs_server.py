"""A private OCS Inventory server for the tests: a MariaDB instance with its own data folder and
socket on a loopback port, loaded from the server's schema, and an Apache with its own
configuration on another loopback port that holds the communication server's. Nothing of the
machine's own services is touched; `with OcsServer(user_agent) as server:` stops both and removes
their folder on the way out, whatever happened inside.
"""
import ctypes
import os
import re
import signal
import socket
import string
import subprocess
import tempfile
import time

SCHEMA = "/usr/share/ocsinventory-reports/files/ocsbase_new.sql"
SERVER_CONF = "/etc/apache2/conf-available/ocsinventory-server.conf"
MODULES = "/usr/lib/apache2/modules"
HTTPD_CONF = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "ocs-httpd.conf")
STARTUP_SECONDS = 60


def die_with_parent():
    """In the child before it runs the server: a SIGTERM when the test dies, however it dies
    (a test runner's kill at its timeout included), so that no server outlives it."""
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(ready, what, seconds=STARTUP_SECONDS):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if ready():
            return
        time.sleep(0.2)
    raise RuntimeError(f"{what} did not come up within {seconds} s")


def listening(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=1):
            return True
    except OSError:
        return False


def stop(process):
    """Ends a server we started and waits for it, killing it when it does not go in time."""
    if process is None or process.poll() is not None:
        return
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(30)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(10)


class OcsServer:
    def __init__(self, user_agent):
        # A folder of its own, which the web server's children (www-data) may enter.
        self.scratch = tempfile.TemporaryDirectory(prefix="ocs-server-")
        self.folder, self.user_agent = self.scratch.name, user_agent
        os.chmod(self.folder, 0o755)
        self.db_folder = os.path.join(self.folder, "db")
        self.web_folder = os.path.join(self.folder, "web")
        self.socket = os.path.join(self.db_folder, "mysqld.sock")
        self.db_port, self.web_port = free_port(), free_port()
        self.url = f"http://127.0.0.1:{self.web_port}/ocsinventory"
        self.database = self.apache = None

    def __enter__(self):
        try:
            self.start_database()
            self.start_apache()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def stop(self):
        try:
            stop(self.apache)
        finally:
            stop(self.database)
            self.scratch.cleanup()

    # The database.
    def start_database(self):
        os.makedirs(self.db_folder)
        subprocess.run(["mariadb-install-db", "--no-defaults", f"--datadir={self.db_folder}",
                        "--user=root", "--auth-root-authentication-method=normal",
                        "--skip-test-db"], check=True, capture_output=True, timeout=120)
        self.database = subprocess.Popen(
            ["mariadbd", "--no-defaults", f"--datadir={self.db_folder}", "--user=root",
             f"--socket={self.socket}", f"--port={self.db_port}", "--bind-address=127.0.0.1",
             f"--pid-file={self.db_folder}/mariadbd.pid", f"--log-error={self.db_folder}/error.log",
             "--skip-log-bin", "--innodb-buffer-pool-size=32M", "--innodb-log-file-size=16M",
             "--innodb-flush-log-at-trx-commit=0", "--skip-name-resolve"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=die_with_parent)
        wait_for(lambda: self.database.poll() is None and listening(self.db_port), "mariadbd")
        self.sql("CREATE DATABASE ocsweb CHARACTER SET utf8mb4; "
                 "CREATE USER 'ocs'@'127.0.0.1' IDENTIFIED BY 'ocs'; "
                 "GRANT ALL PRIVILEGES ON ocsweb.* TO 'ocs'@'127.0.0.1';")
        with open(SCHEMA, "rb") as schema:
            subprocess.run(self.client("ocsweb"), stdin=schema, check=True, capture_output=True,
                           timeout=120)

    def client(self, database=None):
        return ["mariadb", "--no-defaults", f"--socket={self.socket}", "-u", "root",
                "--batch", "--raw", "--skip-column-names"] + ([database] if database else [])

    def sql(self, statements, database=None):
        done = subprocess.run(self.client(database) + ["-e", statements], check=True,
                              capture_output=True, timeout=60)
        return done.stdout.decode()

    def rows(self, query):
        """The rows of a query on the server's database, each a list of texts (None for NULL)."""
        text = self.sql(query, "ocsweb")
        return [[None if v == "NULL" else v for v in line.split("\t")]
                for line in text.splitlines()]

    # The web server.
    def server_conf(self):
        with open(SERVER_CONF) as f:
            conf = f.read()
        # The SOAP interface wants a password file of its own; the agents' place is all we need.
        conf = conf[:conf.index("PerlModule Apache::Ocsinventory::SOAP")] + "</IfModule>\n"
        settings = {"OCS_DB_HOST": "127.0.0.1", "OCS_DB_PORT": str(self.db_port),
                    "OCS_OPT_LOGPATH": self.web_folder,
                    "OCS_OPT_EXT_USERAGENTS_FILE_PATH": os.path.join(self.web_folder, "agents")}
        for name, value in settings.items():
            conf, found = re.subn(rf"(PerlSetEnv\s+{name}\s+)\S+", lambda m: m.group(1) + value,
                                  conf)
            assert found == 1, name
        return conf

    def start_apache(self):
        os.makedirs(self.web_folder)
        # The children run as www-data and read the list of extra agents the server takes.
        os.chmod(self.web_folder, 0o755)
        with open(HTTPD_CONF) as f:
            httpd = string.Template(f.read()).substitute(folder=self.web_folder, port=self.web_port,
                                                         modules=MODULES)
        for name, text in (("agents", self.user_agent + "\n"), ("ocs.conf", self.server_conf()),
                           ("httpd.conf", httpd)):
            with open(os.path.join(self.web_folder, name), "w") as f:
                f.write(text)
        conf = os.path.join(self.web_folder, "httpd.conf")
        self.apache_command = ["apache2", "-f", conf, "-DFOREGROUND"]
        self.start_web()

    def start_web(self):
        # A group of its own: on the way out the web server signals its whole process group.
        self.apache = subprocess.Popen(self.apache_command, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL, start_new_session=True,
                                       preexec_fn=die_with_parent)
        wait_for(lambda: self.apache.poll() is None and listening(self.web_port), "apache2")

    def stop_web(self):
        stop(self.apache)
        self.apache = None

    def error_log(self):
        with open(os.path.join(self.web_folder, "error.log"), errors="replace") as f:
            return f.read()
