-- Tables of the console's database zox_client: the cache of the dispatch server's
-- lists, the IP cameras, the data of the vehicle (CMS) and user (UAP) platforms, and
-- the message store of the messaging bridge. Loaded by scripts/db.sh and by the tests
-- into the current database; every statement may run again without harm.
-- One statement per ';' at the end of a line (the loaders split on it).

CREATE TABLE IF NOT EXISTS zox_system_line (
  lineName    VARCHAR(32)  NOT NULL,
  nickName    VARCHAR(64)  NOT NULL DEFAULT '',
  softPhone   TINYINT UNSIGNED NOT NULL DEFAULT 0,
  videoOnly   TINYINT UNSIGNED NOT NULL DEFAULT 0,
  PRIMARY KEY (lineName)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

CREATE TABLE IF NOT EXISTS zox_system_user (
  userNumber  VARCHAR(32)  NOT NULL,
  displayName VARCHAR(255) NOT NULL DEFAULT '',
  dispatcher  TINYINT UNSIGNED NOT NULL DEFAULT 0,
  isMobile    TINYINT UNSIGNED NOT NULL DEFAULT 0,
  regState    TINYINT UNSIGNED NOT NULL DEFAULT 0,
  callState   INT UNSIGNED NOT NULL DEFAULT 0,
  vpState     INT UNSIGNED NOT NULL DEFAULT 0,
  dcFlag      TINYINT UNSIGNED NOT NULL DEFAULT 0,
  priority    TINYINT UNSIGNED NOT NULL DEFAULT 0,
  callRef     VARCHAR(16)  NOT NULL DEFAULT '',
  userType    TINYINT UNSIGNED NOT NULL DEFAULT 0,
  PRIMARY KEY (userNumber),
  KEY idx_user_callref (callRef)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

CREATE TABLE IF NOT EXISTS zox_system_group (
  groupId     INT UNSIGNED NOT NULL,
  groupName   VARCHAR(128) NOT NULL DEFAULT '',
  groupNumber VARCHAR(32)  NOT NULL DEFAULT '',
  PRIMARY KEY (groupId)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

CREATE TABLE IF NOT EXISTS zox_system_group_member (
  groupId     INT UNSIGNED NOT NULL,
  userNumber  VARCHAR(32)  NOT NULL,
  PRIMARY KEY (groupId, userNumber),
  KEY idx_member_user (userNumber)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

CREATE TABLE IF NOT EXISTS zox_rtsp_camera (
  cid         INT UNSIGNED NOT NULL AUTO_INCREMENT,
  cname       VARCHAR(128) NOT NULL DEFAULT '',
  ip          VARCHAR(64)  NOT NULL DEFAULT '',
  port        INT NOT NULL DEFAULT 554,
  transport   INT NOT NULL DEFAULT 0,
  auth        INT NOT NULL DEFAULT 0,
  username    VARCHAR(128) NOT NULL DEFAULT '',
  password    VARCHAR(128) NOT NULL DEFAULT '',
  main_url    VARCHAR(512) NOT NULL DEFAULT '',
  sub_url     VARCHAR(512) NOT NULL DEFAULT '',
  remark      VARCHAR(255) NOT NULL DEFAULT '',
  status      INT NOT NULL DEFAULT 0,
  enabled     INT NOT NULL DEFAULT 1,
  dispatcher  INT NOT NULL DEFAULT 0,
  PRIMARY KEY (cid)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

CREATE TABLE IF NOT EXISTS cms_company (
  id          INT NOT NULL,
  pid         INT NOT NULL DEFAULT 0,
  name        VARCHAR(255) NOT NULL DEFAULT '',
  child       INT NOT NULL DEFAULT 0,
  KEY idx_company_id (id),
  KEY idx_company_pid (pid)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

CREATE TABLE IF NOT EXISTS cms_vehicle (
  id          INT NOT NULL,
  num         VARCHAR(32)  NOT NULL DEFAULT '',
  cid         INT NOT NULL DEFAULT 0,
  did         VARCHAR(64)  NOT NULL DEFAULT '',
  cc          INT NOT NULL DEFAULT 0,
  chs         VARCHAR(255) NOT NULL DEFAULT '',
  status      INT NOT NULL DEFAULT 0,
  KEY idx_vehicle_num (num),
  KEY idx_vehicle_did (did),
  KEY idx_vehicle_cid (cid)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

CREATE TABLE IF NOT EXISTS uap_voip_user (
  voip_num    VARCHAR(32)  NOT NULL,
  org_name    VARCHAR(255) NOT NULL DEFAULT '',
  org_path    VARCHAR(1024) NOT NULL DEFAULT '',
  user_name   VARCHAR(255) NOT NULL DEFAULT '',
  police_num  VARCHAR(64)  NOT NULL DEFAULT '',
  mobile      VARCHAR(64)  NOT NULL DEFAULT '',
  user_type   VARCHAR(64)  NOT NULL DEFAULT '',
  avatar      VARCHAR(1024) NOT NULL DEFAULT '',
  PRIMARY KEY (voip_num)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

-- Message store of the messaging bridge: one row per received chat segment.
CREATE TABLE IF NOT EXISTS wx_inbox (
  ID          INT UNSIGNED NOT NULL AUTO_INCREMENT,
  ssn         INT UNSIGNED NOT NULL,
  csn         INT UNSIGNED NOT NULL,
  msg_len     INT NOT NULL,
  msg_type    TINYINT UNSIGNED NOT NULL,
  group_chat  TINYINT UNSIGNED NOT NULL,
  seg_num     TINYINT UNSIGNED NOT NULL,
  pkg_seq     TINYINT UNSIGNED NOT NULL,
  pkg_size    INT NOT NULL,
  sender      VARCHAR(32)  NOT NULL,
  creater     VARCHAR(32)  NOT NULL,
  msg_time    VARCHAR(32)  NOT NULL,
  pkg_data    VARBINARY(700) NOT NULL,
  PRIMARY KEY (ID),
  UNIQUE KEY uq_inbox_segment (sender, ssn, msg_time, pkg_seq)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

-- One row per completely received message; the chat indicator counts them.
CREATE TABLE IF NOT EXISTS wx_newmsg (
  ID          INT UNSIGNED NOT NULL AUTO_INCREMENT,
  ssn         INT UNSIGNED NOT NULL,
  csn         INT UNSIGNED NOT NULL,
  msg_len     INT NOT NULL,
  msg_type    TINYINT UNSIGNED NOT NULL,
  group_chat  TINYINT UNSIGNED NOT NULL,
  sender      VARCHAR(32)  NOT NULL,
  creater     VARCHAR(32)  NOT NULL,
  msg_time    VARCHAR(32)  NOT NULL,
  PRIMARY KEY (ID),
  UNIQUE KEY uq_newmsg_message (sender, ssn, msg_time)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

-- Written by the chat peer: one row per outgoing segment; ID travels as the request's
-- reference, the bridge sets ack_flag and deletes the rows of an acknowledged message.
CREATE TABLE IF NOT EXISTS wx_outbox (
  ID          INT UNSIGNED NOT NULL AUTO_INCREMENT,
  msg_id      INT UNSIGNED NOT NULL,
  ack_flag    TINYINT UNSIGNED NOT NULL DEFAULT 0,
  PRIMARY KEY (ID),
  KEY idx_outbox_msg (msg_id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

-- Written by the chat peer: the messages it shows; isread=0 until the dispatcher read it.
CREATE TABLE IF NOT EXISTS wx_message (
  ID          INT UNSIGNED NOT NULL AUTO_INCREMENT,
  ssn         INT UNSIGNED NOT NULL DEFAULT 0,
  sender      VARCHAR(32)  NOT NULL DEFAULT '',
  msg_time    VARCHAR(32)  NOT NULL DEFAULT '',
  isread      TINYINT UNSIGNED NOT NULL DEFAULT 0,
  PRIMARY KEY (ID),
  KEY idx_message_isread (isread)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;
