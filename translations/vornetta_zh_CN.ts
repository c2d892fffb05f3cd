<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>FailureReason</name>
    <message>
        <source>not a HEIC file or damaged</source>
        <translation>不是 HEIC 文件或已损坏</translation>
    </message>
    <message>
        <source>damaged JPEG file</source>
        <translation>JPEG 文件已损坏</translation>
    </message>
    <message>
        <source>damaged PNG file</source>
        <translation>PNG 文件已损坏</translation>
    </message>
    <message>
        <source>picture larger than %1 pixels</source>
        <translation>图片大于 %1 像素</translation>
    </message>
    <message>
        <source>1 tile could not be decoded</source>
        <translation>1 个图块无法解码</translation>
    </message>
    <message>
        <source>%1 tiles could not be decoded</source>
        <translation>%1 个图块无法解码</translation>
    </message>
    <message>
        <source>cannot read the picture&apos;s orientation</source>
        <translation>无法读取图片方向</translation>
    </message>
    <message>
        <source>more than %1 pictures</source>
        <translation>图片超过 %1 张</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>内存不足</translation>
    </message>
    <message>
        <source>took too long</source>
        <translation>耗时过长</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>无法读取文件</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>不是文件</translation>
    </message>
    <message>
        <source>not enough disk space</source>
        <translation>磁盘空间不足</translation>
    </message>
    <message>
        <source>cannot write to the output folder</source>
        <translation>无法写入输出文件夹</translation>
    </message>
    <message>
        <source>cannot write %1 files</source>
        <translation>无法写入 %1 文件</translation>
    </message>
    <message>
        <source>the splitter could not be started</source>
        <translation>无法启动拆分工具</translation>
    </message>
    <message>
        <source>the splitter took too long</source>
        <translation>拆分工具耗时过长</translation>
    </message>
    <message>
        <source>the splitter crashed</source>
        <translation>拆分工具崩溃</translation>
    </message>
    <message>
        <source>the splitter could not list the pictures</source>
        <translation>拆分工具无法列出图片</translation>
    </message>
    <message>
        <source>the splitter listed the pictures wrongly</source>
        <translation>拆分工具列出的图片有误</translation>
    </message>
    <message>
        <source>the tile decoder could not be started</source>
        <translation>无法启动图块解码器</translation>
    </message>
    <message>
        <source>the picture reader could not be started</source>
        <translation>无法启动图片读取器</translation>
    </message>
    <message>
        <source>the picture reader took too long</source>
        <translation>图片读取器耗时过长</translation>
    </message>
    <message>
        <source>the picture reader crashed</source>
        <translation>图片读取器崩溃</translation>
    </message>
    <message>
        <source>the picture reader failed</source>
        <translation>图片读取器出错</translation>
    </message>
    <message>
        <source>cannot read the picture reader&apos;s output</source>
        <translation>无法读取图片读取器的输出</translation>
    </message>
    <message>
        <source>cannot read the stitched picture</source>
        <translation>无法读取拼接后的图片</translation>
    </message>
    <message>
        <source>cannot create the work folder</source>
        <translation>无法创建工作文件夹</translation>
    </message>
    <message>
        <source>cannot write the work folder</source>
        <translation>无法写入工作文件夹</translation>
    </message>
    <message>
        <source>cannot empty the work folder</source>
        <translation>无法清空工作文件夹</translation>
    </message>
    <message>
        <source>cannot lock the work folder</source>
        <translation>无法锁定工作文件夹</translation>
    </message>
    <message>
        <source>cannot make the work folder private</source>
        <translation>无法将工作文件夹设为私有</translation>
    </message>
    <message>
        <source>the work folder is a link</source>
        <translation>工作文件夹是链接</translation>
    </message>
    <message>
        <source>the work folder is not a folder</source>
        <translation>工作文件夹不是文件夹</translation>
    </message>
    <message>
        <source>the work folder belongs to another user</source>
        <translation>工作文件夹属于其他用户</translation>
    </message>
    <message>
        <source>picture kind not supported: %1</source>
        <translation>不支持的图片类型：%1</translation>
    </message>
</context>
<context>
    <name>HEICMainWidget</name>
    <message>
        <source>Ver: %1</source>
        <translation>版本 %1</translation>
    </message>
    <message>
        <source>Drop HEIC files to here</source>
        <translation>将 HEIC 文件拖放到此处</translation>
    </message>
    <message>
        <source>Add HEIC</source>
        <translation>添加 HEIC</translation>
    </message>
    <message>
        <source>Save to %1</source>
        <translation>保存为 %1</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>格式：</translation>
    </message>
    <message>
        <source>JPG</source>
        <translation>JPG</translation>
    </message>
    <message>
        <source>PNG</source>
        <translation>PNG</translation>
    </message>
    <message>
        <source>BMP</source>
        <translation>BMP</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>支持</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>主页</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>检查更新</translation>
    </message>
    <message>
        <source>JPG quality</source>
        <translation>JPG 质量</translation>
    </message>
    <message>
        <source>Standard (75)</source>
        <translation>标准 (75)</translation>
    </message>
    <message>
        <source>High (90)</source>
        <translation>高 (90)</translation>
    </message>
    <message>
        <source>Best (95)</source>
        <translation>最佳 (95)</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>全部移除</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>媒体</translation>
    </message>
    <message>
        <source>Not added to the list:</source>
        <translation>未添加到列表：</translation>
    </message>
    <message>
        <source>not a .heic file</source>
        <translation>不是 .heic 文件</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>未找到</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>不是文件</translation>
    </message>
    <message>
        <source>the file name is not valid UTF-8</source>
        <translation>文件名不是有效的 UTF-8</translation>
    </message>
    <message>
        <source>no .heic, .heif or .hif file in it</source>
        <translation>其中没有 .heic、.heif 或 .hif 文件</translation>
    </message>
    <message>
        <source>more than %1 files, the rest left out</source>
        <translation>超过 %1 个文件，其余已略过</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>以及另外 %1 个</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>选择文件夹</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>converting</source>
        <translation>转换中</translation>
    </message>
    <message>
        <source>success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>失败：%1</translation>
    </message>
    <message>
        <source>Converting %1 of %2: </source>
        <translation>正在转换 %1/%2：</translation>
    </message>
    <message>
        <source>Do you want open the output folder? </source>
        <translation>要打开输出文件夹吗？</translation>
    </message>
    <message>
        <source>%1 of %2 files could not be converted.</source>
        <translation>%2 个文件中有 %1 个无法转换。</translation>
    </message>
    <message>
        <source>No file could be converted.</source>
        <translation>所有文件均未能转换。</translation>
    </message>
    <message>
        <source>The output folder could not be opened:</source>
        <translation>无法打开输出文件夹：</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>菜单</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>文件列表</translation>
    </message>
</context>
<context>
    <name>MyMessageBoxWidget</name>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
</context>
<context>
    <name>UpdateWidget</name>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>正在检查更新</translation>
    </message>
    <message>
        <source>A new version is available for %1</source>
        <translation>%1 有新版本可用</translation>
    </message>
    <message>
        <source>Unable to check for updates. Please try again later.</source>
        <translation>无法检查更新，请稍后重试。</translation>
    </message>
    <message>
        <source>The current version is the latest version</source>
        <translation>当前已是最新版本</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>立即更新</translation>
    </message>
    <message>
        <source>Remind me Later</source>
        <translation>稍后提醒</translation>
    </message>
</context>
</TS>
